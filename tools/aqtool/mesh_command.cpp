// aqtool mesh: shows a data maker what the demo makes of a mesh file, loaded
// the way a scene loads it, as one JSON object on stdout: atoms with their
// normals, cells with their drawers, materials with their maps.
#include <cstdint>
#include <cstring>

#include "image/texture.h"
#include "scene/vector.h"
#include "scene/vectorhandle.h"
#include "tools/aqtool/commands.h"
#include "tools/aqtool/demo_archive.h"
#include "tools/aqtool/json_output.h"

namespace aqtool {

namespace {

constexpr std::uint8_t PRIVATE_MESH = 1;  // as the scene loader asks for its meshes

Json MapName(const Texture* texture)
{
    if (texture == nullptr)
        return nullptr;
    return static_cast<const char*>(texture->name);
}

// The glass bump map: the first width × height 16-bit words of the bump
// texture's block.
Json BumpWords(const Texture* bump)
{
    if (bump == nullptr || bump->pixels == nullptr)
        return nullptr;
    const std::size_t count = static_cast<std::size_t>(bump->width) * static_cast<std::size_t>(bump->height);
    Json words = Json::array();
    for (std::size_t i = 0; i < count; ++i) {
        std::uint16_t word;
        std::memcpy(&word, bump->pixels + i * sizeof word, sizeof word);
        words.push_back(word);
    }
    return words;
}

Json AtomValue(const Atom& atom)
{
    return {{"position", FloatArray(atom.position, 3)}, {"normal", FloatArray(atom.normal, 3)}};
}

Json CellValue(const Vector& vector, const Cell& cell)
{
    const Atom* const atoms = vector.atoms;
    return {{"corners", {cell.corners[0] - atoms, cell.corners[1] - atoms, cell.corners[2] - atoms}},
            {"normal", FloatArray(cell.normal, 3)},
            {"type", static_cast<int>(cell.node.type)},
            {"priority", static_cast<unsigned>(cell.node.priority)},
            {"uv", FloatArray(cell.uv, 6)},
            {"material", cell.material - vector.materials}};
}

Json MaterialValue(const Material& material)
{
    return {{"flags", static_cast<unsigned>(material.flags)},
            {"colour", FloatArray(material.colour, 3)},
            {"fourth", FloatValue(material.fourth)},
            {"further", FloatArray(material.further, 2)},
            {"map_width", static_cast<int>(material.mapWidth)},
            {"map_height", static_cast<int>(material.mapHeight)},
            {"u_mask", static_cast<unsigned>(material.uMask)},
            {"v_mask", static_cast<unsigned>(material.vMask)},
            {"width_shift", static_cast<unsigned>(material.widthShift)},
            {"colour_map", MapName(material.colourMap)},
            {"bump_map", MapName(material.bumpMap)},
            {"bump_words", BumpWords(material.bumpMap)}};
}

Json MeshValue(const Vector& vector)
{
    return {{"atoms", ArrayOf(vector.atoms, vector.atomCount, AtomValue)},
            {"cells", ArrayOf(vector.cells, vector.cellCount,
                              [&vector](const Cell& cell) { return CellValue(vector, cell); })},
            {"materials", ArrayOf(vector.materials, vector.materialCount, MaterialValue)}};
}

}  // namespace

int Mesh(char* const* arguments)
{
    const std::string name = DemoName(arguments[0]);
    if (!OpenDemoArchive())
        return Fail();
    Vector* const vector = VectorHandle::Funkyload(name.c_str(), nullptr, PRIVATE_MESH);
    if (vector == nullptr)
        return Fail();
    const bool printed = PrintJson(MeshValue(*vector));
    // The table never destroys its meshes: the tool takes this one back and drops it.
    VectorHandle::Release(vector);
    delete vector;
    return printed ? EXIT_OK : EXIT_FAILED;
}

}  // namespace aqtool
