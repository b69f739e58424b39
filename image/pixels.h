// What the picture loaders share: the bound on a picture's sides, checked
// from the header before anything is allocated, and the swap between the
// files' red-first and the textures' blue-first byte order.
#pragma once

#include <cstddef>
#include <cstdint>

// No texture of the demo comes near this; a header claiming more is refused.
constexpr std::int64_t PICTURE_MAX_SIDE = 8192;  // pixels, either side

// True when both sides are within PICTURE_MAX_SIDE; otherwise reports
// "<operation>: Picture larger than 8192 pixels a side. ( name )" and is false.
bool CheckPictureSides(std::int64_t width, std::int64_t height, const char* operation, const char* name);

// Swaps the first and third byte of each of pixelCount pixels of pixelBytes
// (3 or 4) bytes, in place.
void SwapRedBlue(std::uint8_t* pixels, std::size_t pixelCount, std::size_t pixelBytes);
