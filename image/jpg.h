// JPEG pictures decoded by libjpeg from a memory copy of the whole file, for
// textures: 24-bit pixels in the order blue, green, red, rows top first. Pixel
// blocks handed out here are the caller's: release them with std::free.
#pragma once

#include <cstdint>

struct jpeg_decompress_struct;

namespace JPG {

// Reads the picture called name through the archive reader and decodes it.
// Returns width × height × 3 bytes and stores width, height and 24 (bits per
// pixel); null on failure (reported), including every error libjpeg raises
// and a picture wider or taller than PICTURE_MAX_SIDE.
std::uint8_t* Load(const char* name, std::int32_t* width, std::int32_t* height, std::int32_t* bits);

}  // namespace JPG

// Installs a source manager that feeds decompressor from the whole file
// called name, read through PAK::ReadFile. The decompressor must have no
// source yet, or one that this function installed. The source owns the file
// copy; libjpeg's term_source releases both at the end of a decode, and
// JPG::Load releases them itself when a decode stops on an error.
// 1 on success; 0 on failure (reported), with no source left installed.
int JPEG_mem_src(jpeg_decompress_struct* decompressor, const char* name);
