// TGA pictures: true-colour pictures loaded through the archive reader for
// textures, and screenshots saved as plain files. Pixel blocks handed out
// here are the caller's: release them with std::free.
#pragma once

#include <cstddef>
#include <cstdint>

namespace TGA {

// Reads the picture called name through PAK::ReadFile and decodes it.
// width, height and bits (the header's bits per pixel) are stored as soon as
// the header is read, before any check. Returns width × height pixels, rows
// top first, no padding, each pixel in the file's own layout: 3 bytes blue,
// green, red for 24 bits, one little-endian word for 15 and 16 bits. Null on
// failure (reported).
std::uint8_t* Load(const char* name, std::int32_t* width, std::int32_t* height, std::int32_t* bits);

// Load's decoder for a whole file already in memory: size bytes at file,
// which stay the caller's and are never read past. name only labels messages.
std::uint8_t* Decode(const std::uint8_t* file, std::size_t size, const char* name,
                     std::int32_t* width, std::int32_t* height, std::int32_t* bits);

// Writes width × height pixels, rows bottom first, as an uncompressed TGA
// file at path (created or replaced). bits is 15, 16, 24 or 32; 24-bit
// pixels are red, green, blue and 32-bit ones red, green, blue, alpha: their
// red and blue bytes are swapped in place into the file's order, so the
// caller's buffer stays changed. 15- and 16-bit words are written as they
// are. False on failure (reported).
bool Save(std::uint8_t* pixels, const char* path, std::int32_t width, std::int32_t height,
          std::int32_t bits);

}  // namespace TGA
