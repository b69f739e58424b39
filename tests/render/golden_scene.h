// The golden scene: one small scene file, its meshes and pictures, written by
// the tools' writers into the working directory. Every element sits alone in
// its own 160 x 160 region of the 640 x 480 frame, four columns by three rows;
// the camera stays at the origin looking along +z with zoom 3.2 (x scale 768).
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "image/texture.h"
#include "scene/scenerecords.h"
#include "tests/scene/scene_fixture.h"
#include "tools/writers/meshwriter.h"
#include "tools/writers/scenewriter.h"
#include "tools/writers/tgawriter.h"

namespace golden {

constexpr int REGION = 160;               // pixels a side
constexpr float PANEL_DEPTH = 10.0f;      // camera-space z of most elements
constexpr float PIXELS_PER_UNIT = 768.0f; // at z = 1
constexpr float FRAMES_PER_SECOND = 25.0f;
constexpr std::uint32_t RENDER_TIME = 1000;  // ms: frame 25

constexpr float SUN_PITCH = 0.5236f;   // radians: the sun shines from above
constexpr float SUN_HEADING = 0.48f;   // and from the left, in front of the eye
constexpr float ADDED_LIGHT = 0.15f;   // every material's first further value

constexpr const char* SCENE_FILE = "golden.scn";
constexpr const char* CHECKER_MAP = "checker.tga";
constexpr const char* ENVIRONMENT_MAP = "sky.tga";
constexpr const char* GLOW_MAP = "glow.tga";

// Camera-space x and y of the centre of region (column, row) at depth z.
inline float RegionX(int column, float z = PANEL_DEPTH)
{
    return (static_cast<float>(REGION * column + REGION / 2) - 320.0f) * z / PIXELS_PER_UNIT;
}
inline float RegionY(int row, float z = PANEL_DEPTH)
{
    return -(static_cast<float>(REGION * row + REGION / 2) - 240.0f) * z / PIXELS_PER_UNIT;
}

struct Point {
    float x, y, z;
};

inline VECTOR_FILE_Material Paint(std::uint32_t flags, float red, float green, float blue, float transparency = 0.0f)
{
    VECTOR_FILE_Material material;
    material.flags = flags;
    material.colour[0] = red, material.colour[1] = green, material.colour[2] = blue;
    material.further0 = ADDED_LIGHT;  // so that unlit sides still read
    material.further1 = transparency;
    MeshSetName(material.colourMapName, CHECKER_MAP);
    MeshSetName(material.secondMapName, ENVIRONMENT_MAP);
    return material;
}

inline std::uint32_t AddPoint(MeshContent& content, Point p)
{
    content.vertices.push_back(mesh_test::Vertex(p.x, p.y, p.z));
    return static_cast<std::uint32_t>(content.vertices.size() - 1);
}

// A cell a, b, c with map coordinates, wound to face eye (in the mesh's own
// space) unless away is set, which winds it the other way.
inline void AddCell(MeshContent& content, Point a, Point b, Point c, const float (&uv)[6], bool away = false,
                    Point eye = {0, 0, -PANEL_DEPTH})
{
    const float ex = b.x - a.x, ey = b.y - a.y, ez = b.z - a.z;
    const float fx = c.x - a.x, fy = c.y - a.y, fz = c.z - a.z;
    const float nx = ey * fz - ez * fy, ny = ez * fx - ex * fz, nz = ex * fy - ey * fx;
    const bool facesEye = nx * (a.x - eye.x) + ny * (a.y - eye.y) + nz * (a.z - eye.z) < 0.0f;
    VECTOR_FILE_Face face = mesh_test::Face(AddPoint(content, a), 0, 0);
    const bool swap = facesEye == away;
    face.corners[1] = AddPoint(content, swap ? c : b);
    face.corners[2] = AddPoint(content, swap ? b : c);
    const int second = swap ? 4 : 2, third = swap ? 2 : 4;
    face.uv[0] = uv[0], face.uv[1] = uv[1];
    face.uv[2] = uv[second], face.uv[3] = uv[second + 1];
    face.uv[4] = uv[third], face.uv[5] = uv[third + 1];
    content.faces.push_back(face);
}

// A rectangle of two cells in the plane z = 0 facing the eye, the map once across it.
inline MeshContent Panel(float halfWidth, float halfHeight, const VECTOR_FILE_Material& material)
{
    MeshContent content;
    const Point a{-halfWidth, -halfHeight, 0}, b{-halfWidth, halfHeight, 0};
    const Point c{halfWidth, -halfHeight, 0}, d{halfWidth, halfHeight, 0};
    AddCell(content, a, b, c, {0, 1, 0, 0, 1, 1});
    AddCell(content, c, b, d, {1, 1, 0, 0, 1, 0});
    content.materials = {material};
    return content;
}

// A cone of segments facets, its apex toward the eye; shared atoms so that
// smooth materials blend the facets' normals.
inline MeshContent Cone(int segments, float radius, float height, const VECTOR_FILE_Material& material)
{
    MeshContent content;
    const std::uint32_t apex = AddPoint(content, {0, 0, -height});
    for (int i = 0; i < segments; ++i) {
        const float angle = 6.2831853f * static_cast<float>(i) / static_cast<float>(segments);
        AddPoint(content, {radius * std::cos(angle), radius * std::sin(angle), 0});
    }
    for (int i = 0; i < segments; ++i) {
        const std::uint32_t rim = apex + 1 + static_cast<std::uint32_t>(i);
        const std::uint32_t nextRim = apex + 1 + static_cast<std::uint32_t>((i + 1) % segments);
        // Counter-clockwise rim order seen from the eye: apex, next, this faces it.
        content.faces.push_back(mesh_test::Face(apex, nextRim, rim));
    }
    content.materials = {material};
    return content;
}

inline void PutMesh(const std::string& name, const MeshContent& content)
{
    ASSERT_TRUE(WriteBytesFile(name, MeshEncode(MeshLayout(content))));
}

// 16 x 16 pictures, 24-bit, given by a function of the texel.
template <class Texel>
void PutPicture(const std::string& name, Texel texel)
{
    mesh_test::Bytes pixels;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const std::uint32_t rgb = texel(x, y);
            pixels.push_back(static_cast<std::uint8_t>(rgb));        // blue
            pixels.push_back(static_cast<std::uint8_t>(rgb >> 8));   // green
            pixels.push_back(static_cast<std::uint8_t>(rgb >> 16));  // red
        }
    }
    mesh_test::PutPicture(name, 16, 16, pixels);
}

inline void PutPictures()
{
    PutPicture(CHECKER_MAP, [](int x, int y) { return ((x / 4 + y / 4) % 2 == 0) ? 0xF0F0F0u : 0x2040C0u; });
    PutPicture(ENVIRONMENT_MAP, [](int x, int y) {
        return static_cast<std::uint32_t>(x * 16) << 16 | static_cast<std::uint32_t>(y * 16) << 8 | 0x40u;
    });
    PutPicture(GLOW_MAP, [](int x, int y) {
        const float dx = static_cast<float>(x) - 7.5f, dy = static_cast<float>(y) - 7.5f;
        const float fade = std::fmax(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy) / 8.0f);
        const std::uint32_t level = static_cast<std::uint32_t>(255.0f * fade * fade);
        return level << 16 | level << 8 | level;
    });
}

inline SceneObjectChunk PlacedObject(const std::string& mesh, float x, float y, float z)
{
    SceneObjectChunk object;
    object.name = mesh;
    object.keys = {scene_test::ObjectKeyAt(0, x, y, z)};
    return object;
}

// Two cells side by side: the left one faces the eye, the right one is wound
// away from it and must never be drawn.
inline MeshContent FacingAndBackFacing(const VECTOR_FILE_Material& facing, const VECTOR_FILE_Material& away)
{
    MeshContent content;
    const float uv[6] = {};
    AddCell(content, {-0.9f, -0.6f, 0}, {-0.9f, 0.6f, 0}, {-0.1f, 0.0f, 0}, uv);
    AddCell(content, {0.1f, -0.6f, 0}, {0.1f, 0.6f, 0}, {0.9f, 0.0f, 0}, uv, true);
    content.faces[1].material = 1;
    content.materials = {facing, away};
    return content;
}

// One cell in camera space whose first corner lies behind the near plane
// (z = 0.5): drawn as the two triangles the clipper makes, all of it within
// the bottom-left region. The mesh sits at the origin.
inline MeshContent ClippedCell(const VECTOR_FILE_Material& material)
{
    MeshContent content;
    AddCell(content, {-0.0913f, -0.0536f, 0.5f}, {-1.133f, -0.469f, 3.0f}, {-0.742f, -0.82f, 3.0f}, {0, 0, 0, 1, 1, 1}, false,
            {0, 0, 0});
    content.materials = {material};
    return content;
}

// The grey bar behind row 1: it fills the lower half of that row, so that
// each see-through panel there shows over black above and over grey below.
inline MeshContent Bar() { return Panel(4.5f, 0.41f, Paint(0, 0.6f, 0.6f, 0.6f)); }

constexpr float BAR_DEPTH = 10.5f;
constexpr float BAR_Y = -0.41f;

struct Placed {
    const char* mesh;
    MeshContent content;
    float x, y, z;
};

inline std::vector<Placed> Elements()
{
    using M = Material;
    const float z = PANEL_DEPTH;
    const VECTOR_FILE_Material orange = Paint(0, 0.9f, 0.5f, 0.2f), smoothOrange = Paint(M::SMOOTH, 0.9f, 0.5f, 0.2f);
    return {
        {"flat.vob", Cone(8, 0.8f, 0.6f, orange), RegionX(0), RegionY(0), z},
        {"smooth.vob", Cone(8, 0.8f, 0.6f, smoothOrange), RegionX(1), RegionY(0), z},
        {"mapped.vob", Panel(0.75f, 0.75f, Paint(M::COLOUR_MAP, 1, 1, 1)), RegionX(2), RegionY(0), z},
        {"chrome.vob", Cone(16, 0.8f, 0.6f, Paint(M::SMOOTH | M::ENVIRONMENT, 1, 1, 1)), RegionX(3), RegionY(0), z},
        {"bar.vob", Bar(), 0.0f, BAR_Y, BAR_DEPTH},
        {"blended.vob", Panel(0.75f, 0.75f, Paint(M::TRANSPARENT, 0.2f, 0.9f, 0.3f, 0.5f)), RegionX(0), RegionY(1), z},
        {"glowmap.vob", Panel(0.75f, 0.75f, Paint(M::ADDITIVE | M::COLOUR_MAP, 1, 1, 1, 0.25f)), RegionX(1),
         RegionY(1), z},
        {"glassmap.vob", Panel(0.75f, 0.75f, Paint(M::TRANSPARENT | M::COLOUR_MAP, 1, 1, 1, 0.5f)), RegionX(2),
         RegionY(1), z},
        {"glow.vob", Panel(0.75f, 0.75f, Paint(M::TRANSPARENT | M::ADDITIVE, 0.9f, 0.2f, 0.6f, 0.25f)), RegionX(3),
         RegionY(1), z},
        {"clipped.vob", ClippedCell(Paint(M::COLOUR_MAP, 1, 1, 1)), 0.0f, 0.0f, 0.0f},
        {"culled.vob", FacingAndBackFacing(Paint(0, 0.8f, 0.8f, 0.8f), Paint(0, 1.0f, 0.1f, 0.1f)), RegionX(1),
         RegionY(2), z},
    };
}

// The distant light from the upper left, in front: it lights every mesh.
inline SceneLightChunk SunLight()
{
    SceneLightChunk light;
    light.kind = Light::DISTANT;
    MotionKey key;
    key.value[KeyChannel::PITCH] = SUN_PITCH;
    key.value[KeyChannel::HEADING] = SUN_HEADING;
    light.keys = {key};
    return light;
}

// A point light in the third region of row 2, its range too short to light
// any mesh; its flare shows where it is.
inline SceneLightChunk FlareLight()
{
    SceneLightChunk light;
    light.kind = Light::POINT;
    light.red = 1.0f, light.green = 0.8f, light.blue = 0.3f;
    light.range = 0.01f;
    light.keys = {scene_test::MotionKeyAt(0, RegionX(2), RegionY(2), PANEL_DEPTH)};
    return light;
}

// A null object moving from left to right at 0.12 units a frame; at frame
// 25 it is at the centre of the last region of row 2, its trail of the last
// eight frames (74 pixels) to the left.
inline SceneObjectChunk TrailCarrier()
{
    SceneObjectChunk carrier;
    carrier.name = "trail";
    carrier.keys = {scene_test::ObjectKeyAt(0, RegionX(3) - 3.0f, RegionY(2), PANEL_DEPTH),
                    scene_test::ObjectKeyAt(50, RegionX(3) + 3.0f, RegionY(2), PANEL_DEPTH)};
    carrier.keys[1].linear = 1;
    return carrier;
}

inline SceneFlareChunk FlareChunk(std::uint32_t kind, float size, float trailLength, float spritesPerFrame)
{
    SceneFlareChunk flare;
    flare.kind = kind;
    flare.size = size;
    flare.trailLength = trailLength;
    flare.spritesPerFrame = spritesPerFrame;
    flare.textureName = GLOW_MAP;
    return flare;
}

// Writes the scene file, its meshes and its pictures.
inline void WriteScene()
{
    PutPictures();
    SceneWriter writer;
    writer.header.framesPerSecond = static_cast<std::uint32_t>(FRAMES_PER_SECOND);
    writer.header.lastFrame = 50;
    for (const Placed& element : Elements()) {
        PutMesh(element.mesh, element.content);
        writer.AddObject(PlacedObject(element.mesh, element.x, element.y, element.z));
    }
    writer.AddNull(TrailCarrier());
    writer.AddObjectFlare(FlareChunk(2, 0.8f, 8.0f, 2.0f));
    writer.AddLight(SunLight());
    writer.AddLight(FlareLight());
    writer.AddLightFlare(FlareChunk(1, 1.6f, 0.0f, 0.0f));
    SceneCameraChunk camera;
    camera.keys = {scene_test::MotionKeyAt(0)};
    writer.AddCamera(camera);
    ASSERT_TRUE(writer.Write(SCENE_FILE));
}

}  // namespace golden
