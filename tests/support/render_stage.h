// The global record as a filled 640 × 480 Aquarium leaves it for the mesh
// stage and the drawers (view parameters, light and polygon tables, a reset
// ordering table), and meshes built by the mesh loader. No window needed.
#pragma once

#include <memory>
#include <vector>

#include "host/aquarium.h"
#include "host/handlers.h"
#include "host/ordertable.h"
#include "scene/vector.h"
#include "tests/scene/vector_fixture.h"

namespace test_support {

// The picture every material names as its colour map and environment map.
constexpr const char* MAP_NAME = "map.tga";

template <typename Function>
void CopyHandlers(Function* table, const Function* list)
{
    for (int i = 1; list[i] != nullptr; ++i)
        table[i] = list[i];
}

inline void SetUpRenderStage()
{
    gAquarium.width = 640;
    gAquarium.height = 480;
    gAquarium.SetViewFromSize();  // x scale 768, centre (320, 240)
    gAquarium.nearPlane = 1.0f;
    gAquarium.depthKeyScale = 2147483648.0f;
    CopyHandlers(gAquarium.lightTable, LIGHT_LIST);
    CopyHandlers(gAquarium.polygonTable, POLYGON_LIST);
}

// MAP_NAME in the working directory, for meshes with maps.
inline void WriteMapPicture() { mesh_test::PutPicture(MAP_NAME, 8, 8, mesh_test::Bytes(8 * 8 * 3, 0x80)); }

// The next frame: a fresh frame number and an ordering table holding only terminator.
inline void StartFrame(PolygonNode* terminator)
{
    ++gAquarium.frameCounter;
    OrderTableStart(gAquarium.orderTable, terminator);
}

// A mesh of type (rigid or deforming) from content, or null.
inline std::unique_ptr<Vector> BuildMesh(const MeshContent& content, std::int32_t type)
{
    std::unique_ptr<Vector> vector = mesh_test::BuildExact(MeshEncode(MeshLayout(content)));
    if (vector)
        vector->type = type;
    return vector;
}

inline VECTOR_FILE_Material MapMaterial(std::uint32_t flags)
{
    VECTOR_FILE_Material material = mesh_test::MaterialRecord(flags);
    MeshSetName(material.colourMapName, MAP_NAME);
    MeshSetName(material.secondMapName, MAP_NAME);
    return material;
}

// One cell; a, b, c wound as (0, 0), (0, 1), (1, 0) face an eye at the origin.
inline MeshContent OneCell(VECTOR_FILE_Vertex a, VECTOR_FILE_Vertex b, VECTOR_FILE_Vertex c,
                           std::uint32_t flags = 0)
{
    MeshContent content;
    content.vertices = {a, b, c};
    content.faces = {mesh_test::Face(0, 1, 2)};
    content.materials = {MapMaterial(flags)};
    return content;
}

// size × size quads facing the eye, x and y from -0.5 to 0.5, z from nearZ
// (first row) to farZ; the quads take the materials of flags in turn.
inline MeshContent Grid(int size, float nearZ, float farZ, const std::vector<std::uint32_t>& flags)
{
    MeshContent content;
    const float step = 1.0f / static_cast<float>(size);
    for (int j = 0; j <= size; ++j) {
        for (int i = 0; i <= size; ++i)
            content.vertices.push_back(mesh_test::Vertex(i * step - 0.5f, j * step - 0.5f, nearZ + (farZ - nearZ) * j * step));
    }
    const auto at = [size](int i, int j) { return static_cast<std::uint32_t>(j * (size + 1) + i); };
    for (int quad = 0; quad < size * size; ++quad) {
        const int i = quad % size, j = quad / size;
        const std::uint32_t material = static_cast<std::uint32_t>(quad) % flags.size();
        content.faces.push_back(mesh_test::Face(at(i, j), at(i, j + 1), at(i + 1, j), material));
        content.faces.push_back(mesh_test::Face(at(i + 1, j), at(i, j + 1), at(i + 1, j + 1), material));
    }
    for (const std::uint32_t f : flags)
        content.materials.push_back(MapMaterial(f));
    return content;
}

}  // namespace test_support
