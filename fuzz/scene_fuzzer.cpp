// libFuzzer target: any bytes through the scene loader, twice (so that the
// second scene exchanges meshes with the first) and once more as a shallow
// clone, then a few frames of each drawn as the demo draws them, into the
// recording GL library: no GL call may get a number that is not finite. Loads must
// refuse the bytes or play them, reading nothing past them. The inputs may
// name the meshes and picture of fuzz/scene_corpus.h, written at start-up
// into a directory of the fuzzer's own, which is the working directory only
// while an input runs (libFuzzer keeps its corpus by relative paths).
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>

#include "fuzz/fuzz_support.h"
#include "fuzz/scene_corpus.h"
#include "host/aquarium.h"
#include "host/error.h"
#include "host/mainloop.h"
#include "render/animation.h"
#include "scene/scenefile.h"
#include "scene/vector.h"
#include "scene/vectorhandle.h"

namespace {

constexpr float FRAMES[] = {0.0f, 7.5f, 1000.0f};
std::string gDirectory;  // where the data files are
std::string gHome;       // libFuzzer's working directory

// The meshes the scenes hold by the table, which never destroys them, so the
// run does; a null object's Vector goes with its record.
void CollectMeshes(const Scene& scene, std::set<Vector*>& meshes)
{
    for (std::uint32_t i = 0; i < scene.objectCount; ++i) {
        Vector* const vector = scene.objects[i].vector;
        if (vector != nullptr && vector->type != NULL_OBJECT_TYPE)
            meshes.insert(vector);
    }
}

void DropMeshes(std::set<Vector*>& meshes)
{
    for (std::uint32_t i = 0; i < gVectorHandles.count; ++i)
        meshes.insert(gVectorHandles.entries[i].vector);
    gVectorHandles.Clear();
    for (Vector* const mesh : meshes)
        delete mesh;
}

void RemoveDirectory() { std::filesystem::remove_all(gDirectory); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char pattern[] = "/tmp/scene_fuzzer_XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        abort();
    gDirectory = pattern;
    gHome = std::filesystem::current_path().string();
    std::atexit(RemoveDirectory);
    if (!scene_corpus::WriteFiles(gDirectory))
        abort();
    fuzz::SetUpDrawing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // An exact copy, so that a read past the input is a read past the heap block.
    const std::unique_ptr<std::uint8_t[]> file(new std::uint8_t[size]);
    if (size > 0)
        std::memcpy(file.get(), data, size);
    StoreFileChecksum(file.get(), size, sizeof(SCENE_FILE_Header), offsetof(SCENE_FILE_Header, fileSize),
                      SCENE_CHECKSUM_OFFSET);
    if (chdir(gDirectory.c_str()) != 0)
        abort();
    std::set<Vector*> meshes;
    {
        Scene first, second, clone;
        if (first.Load(file.get(), size, 0, nullptr)) {
            fuzz::PlayScene(first, FRAMES);
            if (second.Load(file.get(), size, 0, nullptr))
                fuzz::PlayScene(second, FRAMES);
            if (clone.Load(file.get(), size, SCENE_SHALLOW, &first))
                fuzz::PlayScene(clone, FRAMES);
        }
        if (platform::FakeGLSawNonFinite())
            __builtin_trap();
        for (const Scene* scene : {&first, &second, &clone})
            CollectMeshes(*scene, meshes);
    }
    meshes.erase(nullptr);
    DropMeshes(meshes);
    DropFailedTextures();
    Error::Reset();
    if (chdir(gHome.c_str()) != 0)
        abort();
    return 0;
}
