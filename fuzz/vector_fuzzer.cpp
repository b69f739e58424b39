// libFuzzer target: any bytes through the mesh loader's build step, which must
// build a mesh or refuse the bytes without reading past them. An archive of
// this process's own holds the pictures of fuzz/mesh_corpus.h that the mesh
// seeds name, so that materials load real maps and bump pictures; every
// texture is released after each input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "fuzz/mesh_corpus.h"
#include "fuzz/scratch_file.h"
#include "host/error.h"
#include "image/texture.h"
#include "pak/pak.h"
#include "scene/vector.h"
#include "tools/writers/pakwriter.h"

namespace {

// Opens the archive of pictures once; it stays open for the whole run.
void OpenPictures()
{
    static const fuzz::ScratchFile archiveFile("vector_fuzzer");
    PakWriter writer;
    for (const auto& picture : mesh_corpus::MeshPictures())
        writer.Add(picture.first, picture.second);
    if (!writer.Write(archiveFile.Path()) || PAK::Open(archiveFile.Path()) == nullptr)
        std::abort();
}

// Every input starts from an empty texture list, so that each bump picture
// is converted by its first holder again.
void ReleaseTextures()
{
    while (Texture::First() != nullptr)
        Texture::Release(Texture::First()->FirstField());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool opened = (OpenPictures(), true);
    (void)opened;
    // An exact copy, so that a read past the input is a read past the heap block.
    const std::unique_ptr<std::uint8_t[]> file(new std::uint8_t[size]);
    if (size > 0)
        std::memcpy(file.get(), data, size);
    StoreFileChecksum(file.get(), size, sizeof(VECTOR_FILE_Header), offsetof(VECTOR_FILE_Header, fileSize),
                      VECTOR_CHECKSUM_OFFSET);
    delete Vector::Build(file.get(), size);
    ReleaseTextures();
    Error::Reset();
    return 0;
}
