// TGA writing: headers, raw and run-length pixel data, whole files. Pure
// functions of their arguments but for TgaWriteFile.
#include "tools/writers/tgawriter.h"

#include <algorithm>
#include <cstring>

#include "host/error.h"

namespace {

constexpr std::size_t HEADER_SIZE = 18;
constexpr std::size_t MAX_ID_LENGTH = 255;
constexpr std::size_t MAX_PACKET_PIXELS = 128;
constexpr std::uint8_t PACKET_IS_RUN = 0x80;
constexpr std::uint8_t DESCRIPTOR_TOP_FIRST = 0x20;
constexpr std::uint8_t DESCRIPTOR_ATTRIBUTE_MASK = 0x0F;

void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

bool SamePixel(const std::uint8_t* a, const std::uint8_t* b, std::size_t pixelBytes)
{
    return std::memcmp(a, b, pixelBytes) == 0;
}

// How many pixels from at, at most limit, equal the first one.
std::size_t RunLength(const std::uint8_t* at, std::size_t limit, std::size_t pixelBytes)
{
    std::size_t length = 1;
    while (length < limit && SamePixel(at, at + length * pixelBytes, pixelBytes))
        ++length;
    return length;
}

// How many pixels from at, at most limit, come before the next two equal ones.
std::size_t LiteralLength(const std::uint8_t* at, std::size_t limit, std::size_t pixelBytes)
{
    std::size_t length = 1;
    while (length < limit &&
           !(length + 1 < limit &&
             SamePixel(at + length * pixelBytes, at + (length + 1) * pixelBytes, pixelBytes)))
        ++length;
    return length;
}

}  // namespace

std::size_t TgaBytesPerPixel(std::uint8_t bits) { return (bits + 1u) >> 3; }

std::vector<std::uint8_t> TgaHeader(const TgaPicture& picture)
{
    const std::size_t idLength = std::min(picture.id.size(), MAX_ID_LENGTH);
    std::vector<std::uint8_t> out;
    out.reserve(HEADER_SIZE + idLength + picture.colourMap.size());
    out.push_back(static_cast<std::uint8_t>(idLength));
    out.push_back(picture.colourMapType);
    out.push_back(picture.imageType);
    AppendU16(out, picture.colourMapFirst);
    AppendU16(out, picture.colourMapLength);
    out.push_back(picture.colourMapEntryBits);
    AppendU16(out, 0);  // x origin
    AppendU16(out, 0);  // y origin
    AppendU16(out, picture.width);
    AppendU16(out, picture.height);
    out.push_back(picture.bits);
    out.push_back(static_cast<std::uint8_t>((picture.topFirst ? DESCRIPTOR_TOP_FIRST : 0) |
                                            (picture.attributeBits & DESCRIPTOR_ATTRIBUTE_MASK)));
    out.insert(out.end(), picture.id.begin(), picture.id.begin() + idLength);
    out.insert(out.end(), picture.colourMap.begin(), picture.colourMap.end());
    return out;
}

std::vector<std::uint8_t> TgaRunLengthPackets(const std::uint8_t* pixels, std::size_t count,
                                              std::size_t pixelBytes)
{
    std::vector<std::uint8_t> out;
    std::size_t done = 0;
    while (done < count) {
        const std::uint8_t* const at = pixels + done * pixelBytes;
        const std::size_t limit = std::min(count - done, MAX_PACKET_PIXELS);
        const std::size_t run = RunLength(at, limit, pixelBytes);
        if (run >= 2) {
            out.push_back(static_cast<std::uint8_t>(PACKET_IS_RUN | (run - 1)));
            out.insert(out.end(), at, at + pixelBytes);
            done += run;
            continue;
        }
        const std::size_t literal = LiteralLength(at, limit, pixelBytes);
        out.push_back(static_cast<std::uint8_t>(literal - 1));
        out.insert(out.end(), at, at + literal * pixelBytes);
        done += literal;
    }
    return out;
}

std::vector<std::uint8_t> TgaPixelData(const TgaPicture& picture)
{
    const std::size_t pixelBytes = TgaBytesPerPixel(picture.bits);
    const std::size_t rowBytes = std::size_t{picture.width} * pixelBytes;
    std::vector<std::uint8_t> out;
    if (picture.pixels.size() != rowBytes * picture.height)
        return out;
    for (std::size_t fileRow = 0; fileRow < picture.height; ++fileRow) {
        const std::size_t row = picture.topFirst ? fileRow : picture.height - 1 - fileRow;
        const std::uint8_t* const at = picture.pixels.data() + row * rowBytes;
        if (picture.imageType == TGA_TYPE_RUN_LENGTH) {
            const std::vector<std::uint8_t> packets = TgaRunLengthPackets(at, picture.width, pixelBytes);
            out.insert(out.end(), packets.begin(), packets.end());
        } else {
            out.insert(out.end(), at, at + rowBytes);
        }
    }
    return out;
}

std::vector<std::uint8_t> TgaEncode(const TgaPicture& picture)
{
    std::vector<std::uint8_t> out = TgaHeader(picture);
    const std::vector<std::uint8_t> data = TgaPixelData(picture);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

