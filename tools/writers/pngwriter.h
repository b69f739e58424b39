// Writing PNG files through libpng, for contact sheets and other pictures the
// tools show people: 8-bit red, green, blue (and alpha for icons), rows top
// first.
#pragma once

#include <cstdint>
#include <string>

// Writes width x height pixels (3 bytes each, rows top first, no padding) to
// path, replacing the file. False (reported with libpng's message) on failure.
bool PngWrite(const std::string& path, const std::uint8_t* pixels, int width, int height);

// The same with 4 bytes a pixel, the fourth the pixel's opacity (not
// premultiplied).
bool PngWriteWithAlpha(const std::string& path, const std::uint8_t* pixels, int width, int height);
