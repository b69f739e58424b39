// Writing TGA files for tests and the content generator: true-colour pictures
// of 15, 16, 24 or 32 bits, raw (type 2) or run-length (type 10), with an
// optional ID field and colour map, rows stored bottom first or top first.
// Every header field is written as given, so broken files can be made too;
// Header() followed by hand-made packet bytes builds any packet stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/writers/bytesfile.h"

constexpr std::uint8_t TGA_TYPE_RAW = 2;
constexpr std::uint8_t TGA_TYPE_RUN_LENGTH = 10;

struct TgaPicture {
    std::uint8_t imageType = TGA_TYPE_RAW;
    std::uint8_t bits = 24;                  // bits per pixel
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    bool topFirst = false;                   // descriptor bit 5: the file stores the top row first
    std::uint8_t attributeBits = 0;          // descriptor bits 0-3
    std::string id;                          // the ID field; cut to 255 bytes
    std::uint8_t colourMapType = 0;
    std::uint16_t colourMapFirst = 0;        // first colour-map index
    std::uint16_t colourMapLength = 0;       // entries, as the header states them
    std::uint8_t colourMapEntryBits = 0;
    std::vector<std::uint8_t> colourMap;     // written as given after the ID field
    std::vector<std::uint8_t> pixels;        // width × height pixels in the file's layout, rows top first
};

// (bits + 1) / 8: the bytes of one pixel or colour-map entry.
std::size_t TgaBytesPerPixel(std::uint8_t bits);

// The 18-byte header, the ID field and the colour map.
std::vector<std::uint8_t> TgaHeader(const TgaPicture& picture);

// The pixels in the file's row order, raw or as run-length packets that never
// cross a row. Empty when pixels does not hold width × height pixels.
std::vector<std::uint8_t> TgaPixelData(const TgaPicture& picture);

// Run-length packets for count pixels of pixelBytes each: runs of two or more
// equal pixels become run packets, the rest literal packets; at most 128
// pixels a packet.
std::vector<std::uint8_t> TgaRunLengthPackets(const std::uint8_t* pixels, std::size_t count,
                                              std::size_t pixelBytes);

// The whole file: TgaHeader, then TgaPixelData.
std::vector<std::uint8_t> TgaEncode(const TgaPicture& picture);

