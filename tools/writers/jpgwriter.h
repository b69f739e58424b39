// Writing JPEG files for tests and the content generator through libjpeg's
// compressor: baseline or progressive, at a chosen quality, from pixel blocks
// of 3-byte blue-green-red or red-green-blue pixels or 1-byte grey ones, rows
// top first. The output depends only on the arguments.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/writers/bytesfile.h"

enum class JpegPixels { BGR, RGB, GREY };

struct JpegSettings {
    int quality = 90;           // libjpeg's scale, 1 to 100
    bool progressive = false;   // libjpeg's simple progression script instead of one baseline scan
    bool fullChroma = false;    // colour sampled at every pixel instead of every 2 × 2
};

// Compresses width × height pixels, no padding between rows, into a whole
// JPEG file in *file. False (reported with libjpeg's message) on failure,
// *file then empty.
bool JpegEncode(const std::uint8_t* pixels, int width, int height, JpegPixels layout,
                const JpegSettings& settings, std::vector<std::uint8_t>* file);

