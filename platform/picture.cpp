// The picture's size and multisampling; see picture.h.
#include "platform/picture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace platform {
namespace {

constexpr char RESOLUTION_VARIABLE[] = "AQUARIUM_RESOLUTION";
constexpr char SAMPLES_VARIABLE[] = "AQUARIUM_SAMPLES";
constexpr char NATIVE[] = "native";
constexpr std::int32_t WIDTH_PARTS = 4;
constexpr std::int32_t HEIGHT_PARTS = 3;

PictureChoice choice;

// A whole decimal number of up to five digits, all of text.
bool ParseNumber(const std::string& text, std::int32_t& number)
{
    constexpr std::size_t MOST_DIGITS = 5;
    if (text.empty() || text.size() > MOST_DIGITS)
        return false;
    number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    return true;
}

bool WithinBounds(const PictureSize& size)
{
    return size.width >= SMALLEST_PICTURE.width && size.width <= LARGEST_PICTURE.width &&
           size.height >= SMALLEST_PICTURE.height && size.height <= LARGEST_PICTURE.height;
}

const char* Variable(const char* name)
{
    const char* const value = std::getenv(name);
    return value != nullptr && value[0] != '\0' ? value : nullptr;
}

}  // namespace

bool ParsePictureSize(const std::string& text, PictureSize& size)
{
    const std::size_t cross = text.find('x');
    PictureSize parsed{};
    if (cross == std::string::npos || !ParseNumber(text.substr(0, cross), parsed.width) ||
        !ParseNumber(text.substr(cross + 1), parsed.height))
        return false;
    if (parsed.width * HEIGHT_PARTS != parsed.height * WIDTH_PARTS || !WithinBounds(parsed))
        return false;
    size = parsed;
    return true;
}

bool ParseSamples(const std::string& text, int& samples)
{
    std::int32_t number = 0;
    if (!ParseNumber(text, number) || number < 1 || number > MOST_SAMPLES)
        return false;
    samples = number;
    return true;
}

std::string SizeRefusal(const std::string& text)
{
    return "'" + text + "' is not a 4:3 size from 320x240 to 8192x6144";
}

std::string SamplesRefusal(const std::string& text)
{
    return "'" + text + "' is not a number of samples from 1 to " + std::to_string(MOST_SAMPLES);
}

PictureSize LargestPictureIn(std::int32_t width, std::int32_t height)
{
    std::int32_t parts = std::min(width / WIDTH_PARTS, height / HEIGHT_PARTS);
    parts = std::max(parts, SMALLEST_PICTURE.height / HEIGHT_PARTS);
    parts = std::min(parts, LARGEST_PICTURE.height / HEIGHT_PARTS);
    return {parts * WIDTH_PARTS, parts * HEIGHT_PARTS};
}

bool ReadPictureChoice(PictureChoice& read, std::string& refusal)
{
    read = PictureChoice{};
    if (const char* const resolution = Variable(RESOLUTION_VARIABLE)) {
        read.sizeChosen = true;
        read.native = std::strcmp(resolution, NATIVE) == 0;
        read.desktopKept = read.native;
        if (!read.native && !ParsePictureSize(resolution, read.size)) {
            refusal = std::string(RESOLUTION_VARIABLE) + ": " + SizeRefusal(resolution);
            return false;
        }
    }
    if (const char* const samples = Variable(SAMPLES_VARIABLE)) {
        if (!ParseSamples(samples, read.samples)) {
            refusal = std::string(SAMPLES_VARIABLE) + ": " + SamplesRefusal(samples);
            return false;
        }
    }
    return true;
}

void SetPictureChoice(const PictureChoice& chosen) { choice = chosen; }

const PictureChoice& ChosenPicture() { return choice; }

PictureSize PictureSizeToFill()
{
    if (!choice.native)
        return choice.size;
    Backend& os = Os();
    const std::int32_t width = os.GetSystemMetrics(SM_CXSCREEN);
    const std::int32_t height = os.GetSystemMetrics(SM_CYSCREEN);
    // A desktop of no known size keeps the design's picture.
    return width > 0 && height > 0 ? LargestPictureIn(width, height) : DEFAULT_PICTURE;
}

}  // namespace platform
