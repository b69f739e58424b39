// TGA loading and saving. Loading reads the whole file into memory first (from
// the archive or the disk) and decodes from that copy; saving writes a plain
// file. Single-threaded; nothing here keeps state between calls.
//
// Supported: image type 2 (raw true-colour) and type 10 (run-length
// true-colour) at 15, 16 or 24 bits per pixel, stored bottom row first or top
// row first, after any ID field and colour map (both skipped). Refused with a
// message: every other depth (32 bits included) and image type (colour-mapped
// and grey pictures included), sides above PICTURE_MAX_SIDE, a file too short
// for its header or its pixel data, and a run-length packet that runs past the
// file or past the picture.
// The descriptor's attribute bits and right-to-left bit are not looked at.
#include "image/tga.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/error.h"
#include "image/pixels.h"
#include "pak/pak.h"

namespace {

constexpr std::size_t HEADER_SIZE = 18;
constexpr std::uint8_t TYPE_RAW = 2;
constexpr std::uint8_t TYPE_RUN_LENGTH = 10;
constexpr std::uint8_t DESCRIPTOR_TOP_FIRST = 0x20;
constexpr std::uint8_t DESCRIPTOR_SAVED_ALPHA = 8;  // attribute bits of a saved 32-bit picture
constexpr std::uint8_t PACKET_IS_RUN = 0x80;
constexpr std::uint8_t PACKET_COUNT_MASK = 0x7F;
constexpr std::size_t MAX_PACKET_PIXELS = 128;
constexpr std::int32_t MAX_SIDE = 0xFFFF;  // sides are 16-bit header fields

// The header fields the loader looks at.
struct Header {
    std::uint8_t idLength;
    std::uint8_t colourMapType;
    std::uint8_t imageType;
    std::uint16_t colourMapLength;    // entries
    std::uint8_t colourMapEntryBits;
    std::uint16_t width;
    std::uint16_t height;
    std::uint8_t bits;                // bits per pixel
    std::uint8_t descriptor;
};

enum class Unpacked { DONE, PAST_FILE, PAST_PICTURE };

std::uint16_t ReadU16(const std::uint8_t* at)
{
    return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

void WriteU16(std::uint8_t* at, std::uint32_t value)
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

// Needs HEADER_SIZE readable bytes.
Header ReadHeader(const std::uint8_t* file)
{
    Header header;
    header.idLength = file[0];
    header.colourMapType = file[1];
    header.imageType = file[2];
    header.colourMapLength = ReadU16(file + 5);
    header.colourMapEntryBits = file[7];
    header.width = ReadU16(file + 12);
    header.height = ReadU16(file + 14);
    header.bits = file[16];
    header.descriptor = file[17];
    return header;
}

std::size_t BytesPerPixel(std::int32_t bits) { return static_cast<std::size_t>((bits + 1) >> 3); }

bool IsLoadableDepth(std::int32_t bits) { return bits == 15 || bits == 16 || bits == 24; }

bool IsSavableDepth(std::int32_t bits) { return IsLoadableDepth(bits) || bits == 32; }

// Where the pixel data starts: after the header, the ID field and the colour
// map, whose length counts once per unit of the colour-map type.
std::size_t PixelDataOffset(const Header& header)
{
    return HEADER_SIZE + header.idLength +
           std::size_t{header.colourMapLength} * BytesPerPixel(header.colourMapEntryBits) *
               header.colourMapType;
}

bool IsLoadableType(std::uint8_t imageType)
{
    return imageType == TYPE_RAW || imageType == TYPE_RUN_LENGTH;
}

// False when available bytes cannot hold the picture whatever they contain:
// raw data is the picture itself, and a run-length packet of at most 128
// pixels takes at least its head and one value. Checked before the picture is
// allocated, so that a small file cannot ask for a huge allocation.
bool CanHoldPicture(std::uint8_t imageType, std::size_t available, std::size_t pixelCount,
                    std::size_t pixelBytes)
{
    if (imageType == TYPE_RAW)
        return available / pixelBytes >= pixelCount;
    const std::size_t packets = (pixelCount + MAX_PACKET_PIXELS - 1) / MAX_PACKET_PIXELS;
    return available / (1 + pixelBytes) >= packets;
}

// Writes count copies of the pixel at value, doubling the filled part with
// each block copy.
void FillPixels(std::uint8_t* out, const std::uint8_t* value, std::size_t count,
                std::size_t pixelBytes)
{
    const std::size_t total = count * pixelBytes;
    std::memcpy(out, value, pixelBytes);
    std::size_t filled = pixelBytes;
    while (filled < total) {
        const std::size_t step = std::min(filled, total - filled);
        std::memcpy(out + filled, out, step);
        filled += step;
    }
}

// Decodes packets from size bytes at data until pixelCount pixels are out.
// Stops before a packet that would read past data's end or write past the
// picture's end.
Unpacked DecodeRunLength(const std::uint8_t* data, std::size_t size, std::uint8_t* picture,
                         std::size_t pixelCount, std::size_t pixelBytes)
{
    std::size_t read = 0;
    std::size_t written = 0;
    while (written < pixelCount) {
        if (read == size)
            return Unpacked::PAST_FILE;
        const std::uint8_t head = data[read++];
        const std::size_t count = (head & PACKET_COUNT_MASK) + std::size_t{1};
        if (count > pixelCount - written)
            return Unpacked::PAST_PICTURE;
        const bool isRun = (head & PACKET_IS_RUN) != 0;
        const std::size_t valueBytes = isRun ? pixelBytes : count * pixelBytes;
        if (valueBytes > size - read)
            return Unpacked::PAST_FILE;
        std::uint8_t* const out = picture + written * pixelBytes;
        if (isRun)
            FillPixels(out, data + read, count, pixelBytes);
        else
            std::memcpy(out, data + read, valueBytes);
        read += valueBytes;
        written += count;
    }
    return Unpacked::DONE;
}

// Fills picture from the pixel data (size bytes at data) by image type, which
// is loadable; CanHoldPicture has passed. False on failure (reported).
bool Unpack(const Header& header, const std::uint8_t* data, std::size_t size,
            std::uint8_t* picture, const char* name)
{
    const std::size_t pixelCount = std::size_t{header.width} * header.height;
    const std::size_t pixelBytes = BytesPerPixel(header.bits);
    if (header.imageType == TYPE_RAW) {
        std::memcpy(picture, data, pixelCount * pixelBytes);
        return true;
    }
    const Unpacked result = DecodeRunLength(data, size, picture, pixelCount, pixelBytes);
    if (result == Unpacked::PAST_FILE)
        Error::Report(3, "TGA::Load: Picture data runs past the end of the file. ( ", name, " )\n");
    else if (result == Unpacked::PAST_PICTURE)
        Error::Report(3, "TGA::Load: Run-length packet runs past the end of the picture. ( ", name,
                      " )\n");
    return result == Unpacked::DONE;
}

// Swaps row i with row height - 1 - i through a one-row buffer. False when
// the buffer cannot be had.
bool FlipRows(std::uint8_t* picture, std::size_t rowBytes, std::size_t height)
{
    if (height < 2 || rowBytes == 0)
        return true;
    std::uint8_t* const row = static_cast<std::uint8_t*>(std::malloc(rowBytes));
    if (row == nullptr)
        return false;
    for (std::size_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        std::uint8_t* const upper = picture + top * rowBytes;
        std::uint8_t* const lower = picture + bottom * rowBytes;
        std::memcpy(row, upper, rowBytes);
        std::memcpy(upper, lower, rowBytes);
        std::memcpy(lower, row, rowBytes);
    }
    std::free(row);
    return true;
}

// The unpacked, top-first picture of a file whose header has been read and
// whose depth is supported; null on failure (reported). The type is checked
// before anything is allocated, and so is the size of the pixel data.
std::uint8_t* DecodePicture(const Header& header, const std::uint8_t* file, std::size_t size,
                            const char* name)
{
    if (!IsLoadableType(header.imageType)) {
        Error::Report(3, "TGA::Load: TGA-type not supported.( ", name, " )\n");
        return nullptr;
    }
    if (!CheckPictureSides(header.width, header.height, "TGA::Load", name))
        return nullptr;
    const std::size_t pixelCount = std::size_t{header.width} * header.height;
    const std::size_t pixelBytes = BytesPerPixel(header.bits);
    const std::size_t offset = PixelDataOffset(header);
    if (offset > size || !CanHoldPicture(header.imageType, size - offset, pixelCount, pixelBytes)) {
        Error::Report(3, "TGA::Load: Picture data runs past the end of the file. ( ", name, " )\n");
        return nullptr;
    }
    // At least one byte, so that an empty picture is not taken for a failure.
    std::uint8_t* const picture =
        static_cast<std::uint8_t*>(std::malloc(std::max<std::size_t>(pixelCount * pixelBytes, 1)));
    if (picture == nullptr) {
        Error::Report(3, "TGA::Load: Not enough memory for picture.( ", name, " )\n");
        return nullptr;
    }
    if (!Unpack(header, file + offset, size - offset, picture, name)) {
        std::free(picture);
        return nullptr;
    }
    const bool bottomFirst = (header.descriptor & DESCRIPTOR_TOP_FIRST) == 0;
    if (bottomFirst && !FlipRows(picture, header.width * pixelBytes, header.height)) {
        Error::Report(3, "TGA::Load: Not enough memory to flip picture.( ", name, " )\n");
        std::free(picture);
        return nullptr;
    }
    return picture;
}

void BuildSaveHeader(std::uint8_t* header, std::int32_t width, std::int32_t height,
                     std::int32_t bits)
{
    std::memset(header, 0, HEADER_SIZE);
    header[2] = TYPE_RAW;
    WriteU16(header + 12, static_cast<std::uint32_t>(width));
    WriteU16(header + 14, static_cast<std::uint32_t>(height));
    header[16] = static_cast<std::uint8_t>(bits);
    header[17] = bits == 32 ? DESCRIPTOR_SAVED_ALPHA : 0;
}

}  // namespace

namespace TGA {

std::uint8_t* Load(const char* name, std::int32_t* width, std::int32_t* height, std::int32_t* bits)
{
    std::size_t length = 0;
    std::uint8_t* const file = PAK::ReadFile(name, &length);
    if (file == nullptr) {
        Error::Report(3, "TGA::Load: Error reading .tga-file. ( ", name, " )\n");
        return nullptr;
    }
    std::uint8_t* const picture = Decode(file, length, name, width, height, bits);
    delete[] file;
    return picture;
}

std::uint8_t* Decode(const std::uint8_t* file, std::size_t size, const char* name,
                     std::int32_t* width, std::int32_t* height, std::int32_t* bits)
{
    if (size < HEADER_SIZE) {
        Error::Report(3, "TGA::Load: File too short for a .tga-header. ( ", name, " )\n");
        return nullptr;
    }
    const Header header = ReadHeader(file);
    *width = header.width;
    *height = header.height;
    *bits = header.bits;
    if (!IsLoadableDepth(header.bits)) {
        Error::Report(3, "TGA::Load: Picture type not supported. ( ", name, " )\n");
        return nullptr;
    }
    return DecodePicture(header, file, size, name);
}

bool Save(std::uint8_t* pixels, const char* path, std::int32_t width, std::int32_t height,
          std::int32_t bits)
{
    if (!IsSavableDepth(bits) || width < 0 || width > MAX_SIDE || height < 0 || height > MAX_SIDE) {
        Error::Report(3, "TGA::Save: Picture type not supported. (", path, ")\n");
        return false;
    }
    std::uint8_t header[HEADER_SIZE];
    BuildSaveHeader(header, width, height, bits);
    std::FILE* const file = std::fopen(path, "wb");
    if (file == nullptr) {
        Error::Report(3, "TGA::Save: Error opening file (", path, ")\n");
        return false;
    }
    if (std::fwrite(header, 1, HEADER_SIZE, file) != HEADER_SIZE) {
        std::fclose(file);
        Error::Report(1, "TGA::Save: Error writing to header file\n");
        return false;
    }
    const std::size_t pixelCount = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    const std::size_t dataBytes = pixelCount * BytesPerPixel(bits);
    if (bits == 24 || bits == 32)
        SwapRedBlue(pixels, pixelCount, BytesPerPixel(bits));
    const bool written = std::fwrite(pixels, 1, dataBytes, file) == dataBytes;
    // Closing flushes what the stream still buffers: a failure there loses data too.
    if (std::fclose(file) != 0 || !written) {
        Error::Report(1, "TGA::Save: Error writing imagedata to file\n");
        return false;
    }
    return true;
}

}  // namespace TGA
