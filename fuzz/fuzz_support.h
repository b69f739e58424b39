// What the fuzz targets share: a right checksum for the checksummed data
// files (meshes, scenes), the texture list kept flat across runs, and
// frames drawn into the recording GL library (which the importer's tests
// draw what they import with, too).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/aquarium.h"
#include "host/handlers.h"
#include "host/mainloop.h"
#include "host/opengllib.h"
#include "host/systemobjects.h"
#include "image/texture.h"
#include "pak/pak.h"
#include "render/animation.h"
#include "platform/fake_backend.h"
#include "platform/fake_gl.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"

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

// Drawing into the recording GL library, logging nothing: what a fuzz target
// draws must never give OpenGL a number that is not finite.
namespace fuzz {

// The filled 640 × 480 Aquarium's view and tables, over the fake backend
// with the fake GL and GLU libraries loaded; made once for the whole run.
inline void SetUpDrawing()
{
    static platform::ScopedFakeBackend backend;
    backend.fake.AddLibrary("opengl32.dll", platform::FakeGLExports());
    backend.fake.AddLibrary("glu32.dll", platform::FakeGLUExports());
    if (OpenGLLib::Load("opengl32.dll") != OpenGLLib::LOAD_OK)
        std::abort();
    platform::FakeGLSetLogging(false);
    gAquarium.width = 640;
    gAquarium.height = 480;
    gAquarium.SetViewFromSize();
    gAquarium.mode = 1;
    for (int i = 1; SWIM_LIST[i] != nullptr; ++i)
        gAquarium.swimTable[i] = SWIM_LIST[i];
    for (int i = 1; LIGHT_LIST[i] != nullptr; ++i)
        gAquarium.lightTable[i] = LIGHT_LIST[i];
    for (int i = 1; POLYGON_LIST[i] != nullptr; ++i)
        gAquarium.polygonTable[i] = POLYGON_LIST[i];
}

// Starts a frame: a new frame number and an ordering table holding only its terminator.
inline void StartFrame(PolygonNode* terminator)
{
    ++gAquarium.frameCounter;
    OrderTableStart(gAquarium.orderTable, terminator);
}

// Runs mesh's plugins, then its swim when active, as the main loop does.
inline void SwimMesh(Vector* mesh)
{
    gAquarium.currentObject = mesh;
    RunPlugins(mesh);
    if (mesh->active)
        CallTableEntry(gAquarium.swimTable, mesh->type);
}

inline void DrawTable()
{
    OrderTableSort::Swim();
    OrderTableDraw::Swim();
}

// Sorts and draws the frame's ordering table; a non-finite GL argument is a finding.
inline void DrawFrame()
{
    DrawTable();
    if (platform::FakeGLSawNonFinite())
        __builtin_trap();
}

// Frames of a loaded scene as the demo plays them: the animation, the light
// plugins, every mesh's plugins and swim, then the sorted table drawn; the
// caller asks the recording library what it was given. False when its maps
// cannot be set up or its lights listed.
template <std::size_t N>
bool PlayScene(Scene& scene, const float (&frames)[N])
{
    if (!scene.SetupOpenGL())
        return false;
    Fishes lights;
    for (std::uint32_t i = 0; i < scene.lightCount; ++i) {
        if (scene.lights[i].light != nullptr && !Fishes::InsertObject(&lights, scene.lights[i].light, false))
            return false;
    }
    gAquarium.currentLightList = lights;
    PolygonNode terminator;
    for (const float frame : frames) {
        StartFrame(&terminator);
        AnimateScene(scene, frame);
        for (std::uint32_t i = 0; i < scene.lightCount; ++i) {
            if (scene.lights[i].light != nullptr)
                RunPlugins(scene.lights[i].light);
        }
        for (std::uint32_t i = 0; i < scene.objectCount; ++i) {
            if (scene.objects[i].vector != nullptr)
                SwimMesh(scene.objects[i].vector);
        }
        DrawTable();
    }
    gAquarium.currentLightList = FishList{};
    return true;
}

}  // namespace fuzz
