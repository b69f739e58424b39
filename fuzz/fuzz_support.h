// What the fuzz targets share: a right checksum for the checksummed data
// files (meshes, scenes), and the texture list kept flat across runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "image/texture.h"
#include "pak/pak.h"

// Random bytes almost never carry their own checksum: inputs whose first
// byte is even get the right one stored, so that the search reaches the
// chunks. For a file whose header (headerSize bytes) keeps the covered length at
// sizeOffset and the checksum at checksumOffset.
inline void StoreFileChecksum(std::uint8_t* file, std::size_t size, std::size_t headerSize,
                              std::size_t sizeOffset, std::size_t checksumOffset)
{
    if (size < headerSize || (file[0] & 1) != 0)
        return;
    std::uint32_t covered;
    std::memcpy(&covered, file + sizeOffset, sizeof covered);
    std::memset(file + checksumOffset, 0, sizeof(std::uint32_t));
    const std::uint32_t checksum = PAK_Checksum(file, covered < size ? covered : size);
    std::memcpy(file + checksumOffset, &checksum, sizeof checksum);
}

// A failed picture leaves a record without pixels in the texture list; a
// record's first field is then 0, so Release(0) removes it. Keeps memory flat
// across runs that name ever new pictures.
inline void DropFailedTextures()
{
    while (Texture::First() != nullptr && Texture::First()->FirstField() == 0)
        Texture::Release(0);
}
