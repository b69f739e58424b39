// Writes the seed corpus of the mesh fuzzer into the directory its argument
// names: sound meshes with every material kind (maps and bump pictures of
// fuzz/mesh_corpus.h, a refused map, a missing one), repeated and unknown
// chunks; and the damaged shapes of the mesh tests.
#include <algorithm>
#include <limits>

#include "fuzz/mesh_corpus.h"
#include "tools/seeds/seed_files.h"
#include "tools/writers/meshwriter.h"

namespace {

using seed_files::Bytes;
using seed_files::Seeds;
using mesh_corpus::ODD_TGA;

VECTOR_FILE_Material MaterialOf(std::uint32_t flags, const char* colourMap = "", const char* secondMap = "",
                                const char* bump = "")
{
    VECTOR_FILE_Material material;
    material.flags = flags;
    MeshSetName(material.colourMapName, colourMap);
    MeshSetName(material.secondMapName, secondMap);
    MeshSetName(material.bumpPictureName, bump);
    return material;
}

// A quad of two cells and a lone triangle, one material per cell.
MeshContent Quad(const std::vector<VECTOR_FILE_Material>& materials)
{
    MeshContent content;
    content.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 1}};
    content.faces = {{{0, 1, 2}, {0, 0, 1, 0, 1, 1}, 0}, {{0, 2, 3}, {0, 0, 1, 1, 0, 1}, 0},
                     {{4, 4, 5}, {}, 0}};
    content.materials = materials;
    for (std::size_t i = 0; i < content.faces.size(); ++i)
        content.faces[i].material = static_cast<std::uint32_t>(i % materials.size());
    return content;
}

Bytes Encoded(const MeshContent& content) { return MeshEncode(MeshLayout(content)); }

void AddSoundMeshes(Seeds& seeds)
{
    seeds.push_back({"empty.vec", MeshEncode(MeshFile())});
    seeds.push_back({"plain.vec", Encoded(Quad({MaterialOf(0), MaterialOf(0x01), MaterialOf(0x05)}))});
    seeds.push_back({"mapped.vec", Encoded(Quad({MaterialOf(0x10, "map.tga"), MaterialOf(0x18, "map.jpg", "Map.Tga"),
                                                 MaterialOf(0x14, "MAP.JPG")}))});
    seeds.push_back({"bumped.vec", Encoded(Quad({MaterialOf(0x20, "", "", "bump.tga"),
                                                 MaterialOf(0x3F, "map.tga", "map.tga", "bump.tga")}))});
    seeds.push_back({"odd_map.vec", Encoded(Quad({MaterialOf(0x10, ODD_TGA)}))});
    seeds.push_back({"missing_map.vec", Encoded(Quad({MaterialOf(0x08, "", "nowhere.tga")}))});
    MeshFile extra = MeshLayout(Quad({MaterialOf(0x02)}));
    extra.chunks.insert(extra.chunks.begin(), MeshChunk{PAK_Tag("NOTE"), {1, 2, 3, 4, 5}, {}});
    extra.chunks.push_back(MeshVerticesChunk({{2, 0, 0}, {0, 2, 0}, {0, 0, 2}, {2, 2, 0}, {0, 2, 2}, {2, 0, 2}}));
    seeds.push_back({"unknown_and_repeated_chunks.vec", MeshEncode(extra)});
    MeshFile unknownLast = MeshLayout(Quad({MaterialOf(0)}));
    unknownLast.chunks.push_back(MeshChunk{PAK_Tag("NOTE"), {9}, 0xFFFFFFF0u});
    seeds.push_back({"unknown_chunk_past_size.vec", MeshEncode(unknownLast)});
}

// A sound file whose header field at offset is replaced, the checksum kept right.
Bytes WithField(const MeshContent& content, std::size_t offset, std::uint32_t value)
{
    Bytes bytes = Encoded(content);
    std::copy_n(reinterpret_cast<const std::uint8_t*>(&value), sizeof value, bytes.begin() + offset);
    MeshSeal(bytes);
    return bytes;
}

void AddBrokenMeshes(Seeds& seeds)
{
    const MeshContent sound = Quad({MaterialOf(0x01)});
    MeshFile badSum = MeshLayout(sound);
    badSum.header.text[0] = 1;  // odd: the fuzz target keeps the stored checksum
    badSum.header.checksum = 12345;
    badSum.keepChecksum = true;
    MeshFile knownPast = MeshLayout(sound);
    knownPast.chunks[1].declaredLength = 0xFFFFFFFFu;
    MeshContent farCorner = sound;
    farCorner.faces[0].corners[2] = 99;
    MeshContent farMaterial = sound;
    farMaterial.faces[1].material = 7;
    MeshContent unterminated = Quad({MaterialOf(0x10)});
    std::fill(std::begin(unterminated.materials[0].colourMapName), std::end(unterminated.materials[0].colourMapName), 'x');
    MeshContent infinite = sound;
    infinite.vertices[2].y = std::numeric_limits<float>::infinity();
    MeshContent noNumber = sound;
    noNumber.materials[0].fourth = std::numeric_limits<float>::quiet_NaN();
    MeshFile missing = MeshLayout(sound);
    missing.chunks.pop_back();
    const Bytes whole = Encoded(sound);
    seeds.insert(seeds.end(), {
        {"version_301.vec", WithField(sound, offsetof(VECTOR_FILE_Header, version), 301)},
        {"bad_checksum.vec", MeshEncode(badSum)},
        {"header_short.vec", WithField(sound, offsetof(VECTOR_FILE_Header, headerLength), 23)},
        {"header_past_size.vec", WithField(sound, offsetof(VECTOR_FILE_Header, headerLength), 0xFFFFFFFFu)},
        {"size_past_file.vec", WithField(sound, offsetof(VECTOR_FILE_Header, fileSize), 0x7FFFFFFFu)},
        {"known_chunk_past_size.vec", MeshEncode(knownPast)},
        {"too_few_atoms.vec", WithField(sound, offsetof(VECTOR_FILE_Header, atomCount), 7)},
        {"missing_chunk.vec", MeshEncode(missing)},
        {"corner_out_of_range.vec", Encoded(farCorner)},
        {"material_out_of_range.vec", Encoded(farMaterial)},
        {"unterminated_map_name.vec", Encoded(unterminated)},
        {"infinite_vertex.vec", Encoded(infinite)},
        {"colour_value_not_a_number.vec", Encoded(noNumber)},
        {"cut_in_half.vec", Bytes(whole.begin(), whole.begin() + whole.size() / 2)},
    });
}

Seeds MeshSeeds()
{
    Seeds seeds;
    AddSoundMeshes(seeds);
    AddBrokenMeshes(seeds);
    return seeds;
}

}  // namespace

int main(int argc, char** argv)
{
    return seed_files::WriteSeedFiles(argc, argv, "vector_seeds", MeshSeeds());
}
