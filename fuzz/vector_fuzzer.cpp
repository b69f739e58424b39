// libFuzzer target: any bytes through the mesh loader's build step, which must
// build a mesh or refuse the bytes without reading past them; a mesh it builds
// is drawn, rigid and deforming, lit by one light of each kind, and no GL
// call may get a number that is not finite. An archive of
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
#include "scene/scenerecords.h"
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

// One light of each kind before the mesh, as a scene's light list holds them.
void SetUpLights()
{
    static Light distant(Light::DISTANT), point(Light::POINT), spot(Light::SPOT);
    static Fishes lights;
    for (Light* light : {&distant, &point, &spot}) {
        light->range = 50.0f;
        light->falloff = 0.01f;
        light->innerConeCosine = 0.9f;
        light->outerConeCosine = 0.5f;
        light->matrix.m[11] = -5.0f;
        light->directionZ = light == &distant ? -1.0f : 1.0f;
        if (!Fishes::InsertObject(&lights, light, false))
            std::abort();
    }
    point.isStatic = 1;
    gAquarium.currentLightList = lights;
}

// Frames of the mesh five units before the eye, turning, rigid then
// deforming, drawn into the recording GL library.
void Draw(Vector& mesh)
{
    for (std::uint32_t i = 0; i < mesh.materialCount; ++i) {
        if (mesh.materials[i].colourMap != nullptr)
            mesh.materials[i].colourMap->Upload();
    }
    PolygonNode terminator;
    for (const std::int32_t type : {Vector::TYPE, Vector::DEFORMING_TYPE}) {
        mesh.type = type;
        for (const float angle : {0.0f, 2.5f}) {
            mesh.matrix.SetRotation(angle, 0.0f, 0.0f);
            mesh.matrix.m[11] = 5.0f;
            fuzz::StartFrame(&terminator);
            fuzz::SwimMesh(&mesh);
            fuzz::DrawFrame();
        }
    }
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
    static const bool ready = (OpenPictures(), fuzz::SetUpDrawing(), SetUpLights(), true);
    (void)ready;
    // An exact copy, so that a read past the input is a read past the heap block.
    const std::unique_ptr<std::uint8_t[]> file(new std::uint8_t[size]);
    if (size > 0)
        std::memcpy(file.get(), data, size);
    StoreFileChecksum(file.get(), size, sizeof(VECTOR_FILE_Header), offsetof(VECTOR_FILE_Header, fileSize),
                      VECTOR_CHECKSUM_OFFSET);
    {
        const std::unique_ptr<Vector> mesh(Vector::Build(file.get(), size));
        if (mesh)
            Draw(*mesh);
    }
    ReleaseTextures();
    Error::Reset();
    return 0;
}
