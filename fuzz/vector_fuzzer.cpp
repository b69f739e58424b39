// libFuzzer target: any bytes through the mesh loader's build step, which must
// build a mesh or refuse the bytes without reading past them. No pictures are
// on the disk, so materials that name maps fail to load them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "host/error.h"
#include "image/texture.h"
#include "pak/pak.h"
#include "scene/vector.h"

namespace {

// Random bytes almost never carry their own checksum. Inputs whose first byte
// is even get the right one stored, so that the search reaches the chunks.
void StoreChecksum(std::uint8_t* file, std::size_t size)
{
    if (size < sizeof(VECTOR_FILE_Header) || (file[0] & 1) != 0)
        return;
    std::uint32_t covered;
    std::memcpy(&covered, file + offsetof(VECTOR_FILE_Header, fileSize), sizeof covered);
    std::memset(file + VECTOR_CHECKSUM_OFFSET, 0, sizeof(std::uint32_t));
    const std::uint32_t checksum = PAK_Checksum(file, covered < size ? covered : size);
    std::memcpy(file + VECTOR_CHECKSUM_OFFSET, &checksum, sizeof checksum);
}

// A failed picture leaves a record without pixels in the texture list; a
// record's first field is then 0, so Release(0) removes it. Keeps memory flat
// across runs that name ever new pictures.
void DropFailedTextures()
{
    while (Texture::First() != nullptr && Texture::First()->FirstField() == 0)
        Texture::Release(0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // An exact copy, so that a read past the input is a read past the heap block.
    const std::unique_ptr<std::uint8_t[]> file(new std::uint8_t[size]);
    if (size > 0)
        std::memcpy(file.get(), data, size);
    StoreChecksum(file.get(), size);
    delete Vector::Build(file.get(), size);
    DropFailedTextures();
    Error::Reset();
    return 0;
}
