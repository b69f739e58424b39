// Picture painting and encoding. Colour values are clamped to 0..1 and
// rounded to bytes once, when the file is made.
#include "tools/datagen/builders/picture.h"

#include <cmath>

#include "host/error.h"
#include "tools/datagen/builders/mesh.h"
#include "tools/writers/jpgwriter.h"
#include "tools/writers/tgawriter.h"

namespace {

std::uint8_t Byte(float value) { return static_cast<std::uint8_t>(std::lround(Clamp01(value) * 255.0f)); }

// Blue, green, red bytes, rows top first.
std::vector<std::uint8_t> BgrBytes(const Picture& picture)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(picture.pixels.size() * 3);
    for (const Colour& c : picture.pixels) {
        bytes.push_back(Byte(c.b));
        bytes.push_back(Byte(c.g));
        bytes.push_back(Byte(c.r));
    }
    return bytes;
}

// Little-endian 16-bit words: 1-5-5-5 for 15 bits, 5-6-5 for 16.
std::vector<std::uint8_t> WordBytes(const Picture& picture, std::uint8_t bits)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(picture.pixels.size() * 2);
    for (const Colour& c : picture.pixels) {
        const unsigned r = Byte(c.r), g = Byte(c.g), b = Byte(c.b);
        const unsigned word = bits == 15 ? ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3)
                                         : ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
        bytes.push_back(static_cast<std::uint8_t>(word));
        bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    }
    return bytes;
}

bool EndsWith(const std::string& name, const char* ending)
{
    const std::string tail = ending;
    if (name.size() < tail.size())
        return false;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        const char c = name[name.size() - tail.size() + i];
        if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != tail[i])
            return false;
    }
    return true;
}

}  // namespace

void Picture::Paint(const std::function<Colour(float, float)>& paint)
{
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            At(x, y) = paint((static_cast<float>(x) + 0.5f) / static_cast<float>(width),
                             (static_cast<float>(y) + 0.5f) / static_cast<float>(height));
    }
}

std::vector<std::uint8_t> EncodePicture(const Picture& picture, const PictureForm& form)
{
    if (form.jpeg) {
        JpegSettings settings;
        settings.quality = form.quality;
        settings.progressive = form.progressive;
        std::vector<std::uint8_t> file;
        JpegEncode(BgrBytes(picture).data(), picture.width, picture.height, JpegPixels::BGR, settings, &file);
        return file;
    }
    TgaPicture tga;
    tga.imageType = form.runLength ? TGA_TYPE_RUN_LENGTH : TGA_TYPE_RAW;
    tga.bits = form.bits;
    tga.width = static_cast<std::uint16_t>(picture.width);
    tga.height = static_cast<std::uint16_t>(picture.height);
    tga.topFirst = form.topFirst;
    tga.pixels = form.bits == 24 ? BgrBytes(picture) : WordBytes(picture, form.bits);
    return TgaEncode(tga);
}

bool WritePicture(const std::string& root, const std::string& archiveName, const Picture& picture,
                  const PictureForm& form)
{
    if (!EndsWith(archiveName, form.jpeg ? ".jpg" : ".tga")) {
        Error::Report(3, "WritePicture: The name does not match the picture's form (", archiveName.c_str(), ")\n");
        return false;
    }
    const std::vector<std::uint8_t> bytes = EncodePicture(picture, form);
    const std::string path = TreePath(root, archiveName);
    return !bytes.empty() && MakeParentFolders(path) && WriteBytesFile(path, bytes);
}

Picture Cropped(const Picture& picture, int rows)
{
    Picture top = picture;
    top.height = rows;
    top.pixels.resize(static_cast<std::size_t>(rows) * static_cast<std::size_t>(picture.width));
    return top;
}

Colour Mix(Colour a, Colour b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
Colour Scaled(Colour c, float s) { return {c.r * s, c.g * s, c.b * s}; }
Colour Added(Colour a, Colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
float Clamp01(float value) { return value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value); }

float SmoothStep(float edge0, float edge1, float x)
{
    const float t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}
