// aqtool mesh: shows a data maker what the demo makes of a mesh file, loaded
// the way a scene loads it, as one JSON object on stdout: atoms with their
// normals, cells with their drawers, materials with their maps.
#include <cstdint>
#include <cstdio>
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

void PrintMapName(const Texture* texture)
{
    if (texture == nullptr)
        std::fputs("null", stdout);
    else
        PrintString(texture->name);
}

// The glass bump map: the first width × height 16-bit words of the bump
// texture's block.
void PrintBumpWords(const Texture* bump)
{
    if (bump == nullptr || bump->pixels == nullptr) {
        std::fputs("null", stdout);
        return;
    }
    const std::size_t count = static_cast<std::size_t>(bump->width) * static_cast<std::size_t>(bump->height);
    std::fputc('[', stdout);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint16_t word;
        std::memcpy(&word, bump->pixels + i * sizeof word, sizeof word);
        std::printf(i > 0 ? ", %u" : "%u", static_cast<unsigned>(word));
    }
    std::fputc(']', stdout);
}

void PrintAtom(const Atom& atom)
{
    std::fputs("{\"position\": ", stdout);
    PrintFloats(atom.position, 3);
    std::fputs(", \"normal\": ", stdout);
    PrintFloats(atom.normal, 3);
    std::fputc('}', stdout);
}

void PrintCell(const Vector& vector, const Cell& cell)
{
    std::printf("{\"corners\": [%td, %td, %td], \"normal\": ", cell.corners[0] - vector.atoms,
                cell.corners[1] - vector.atoms, cell.corners[2] - vector.atoms);
    PrintFloats(cell.normal, 3);
    std::printf(", \"type\": %d, \"priority\": %u, \"uv\": ", static_cast<int>(cell.node.type),
                static_cast<unsigned>(cell.node.priority));
    PrintFloats(cell.uv, 6);
    std::printf(", \"material\": %td}", cell.material - vector.materials);
}

void PrintMaterial(const Material& material)
{
    std::printf("{\"flags\": %u, \"colour\": ", static_cast<unsigned>(material.flags));
    PrintFloats(material.colour, 3);
    std::fputs(", \"fourth\": ", stdout);
    PrintFloat(material.fourth);
    std::fputs(", \"further\": ", stdout);
    PrintFloats(material.further, 2);
    std::printf(", \"map_width\": %d, \"map_height\": %d, \"u_mask\": %u, \"v_mask\": %u, \"width_shift\": %u",
                static_cast<int>(material.mapWidth), static_cast<int>(material.mapHeight),
                static_cast<unsigned>(material.uMask), static_cast<unsigned>(material.vMask),
                static_cast<unsigned>(material.widthShift));
    std::fputs(", \"colour_map\": ", stdout);
    PrintMapName(material.colourMap);
    std::fputs(", \"bump_map\": ", stdout);
    PrintMapName(material.bumpMap);
    std::fputs(", \"bump_words\": ", stdout);
    PrintBumpWords(material.bumpMap);
    std::fputc('}', stdout);
}

void PrintMesh(const Vector& vector)
{
    std::fputs("{\"atoms\": ", stdout);
    PrintEach(vector.atoms, vector.atomCount, PrintAtom);
    std::fputs(", \"cells\": ", stdout);
    PrintEach(vector.cells, vector.cellCount, [&vector](const Cell& cell) { PrintCell(vector, cell); });
    std::fputs(", \"materials\": ", stdout);
    PrintEach(vector.materials, vector.materialCount, PrintMaterial);
    std::fputs("}\n", stdout);
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
    PrintMesh(*vector);
    // The table never destroys its meshes: the tool takes this one back and drops it.
    VectorHandle::Release(vector);
    delete vector;
    return std::fflush(stdout) == 0 ? EXIT_OK : EXIT_FAILED;
}

}  // namespace aqtool
