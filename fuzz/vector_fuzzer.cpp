// libFuzzer target: any bytes through the mesh loader's build step, which must
// build a mesh or refuse the bytes without reading past them. No pictures are
// on the disk, so materials that name maps fail to load them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "host/error.h"
#include "image/texture.h"
#include "pak/pak.h"
#include "scene/vector.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // An exact copy, so that a read past the input is a read past the heap block.
    const std::unique_ptr<std::uint8_t[]> file(new std::uint8_t[size]);
    if (size > 0)
        std::memcpy(file.get(), data, size);
    StoreFileChecksum(file.get(), size, sizeof(VECTOR_FILE_Header), offsetof(VECTOR_FILE_Header, fileSize),
                      VECTOR_CHECKSUM_OFFSET);
    delete Vector::Build(file.get(), size);
    DropFailedTextures();
    Error::Reset();
    return 0;
}
