// Writes the seed corpus of the archive fuzzer into the directory its
// argument names: archives of several entries (text, binary, empty, long
// names), the empty archive, the damaged headers, filemaps and entries of the
// archive tests, and one bare zlib stream for the decoder itself.
#include <cstring>

#include "fuzz/mesh_corpus.h"
#include "tools/seeds/seed_files.h"
#include "tools/writers/pakwriter.h"

namespace {

using seed_files::Bytes;
using seed_files::Seeds;
using mesh_corpus::Gradient;
using mesh_corpus::MeshPictures;

constexpr std::size_t MAGIC_AT = 256;
constexpr std::size_t MAP_END_AT = 260;
constexpr std::size_t COUNT_AT = 264;
constexpr std::size_t MAP_OFFSET_AT = 272;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

PakWriter Sound()
{
    PakWriter writer;
    writer.Add("DATA\\INTRO\\SCENES\\CUT1.SCN", Text("a scene"));
    writer.Add("THEMUSIC.MP3", Gradient(3000, 7));
    writer.Add("EMPTY.TXT", {});
    writer.Add(std::string(1023, 'N'), Text("longest name"));
    return writer;
}

Bytes WithU32(Bytes archive, std::size_t at, std::uint32_t value)
{
    std::memcpy(archive.data() + at, &value, sizeof value);
    return archive;
}

// The sound archive with its filemap records edited by change.
template <class Change>
Bytes WithEntries(Change change)
{
    PakWriter writer = Sound();
    change(writer.Entries());
    return writer.Bytes();
}

Seeds ArchiveSeeds()
{
    const Bytes sound = Sound().Bytes();
    PakWriter pictures;
    for (const auto& picture : MeshPictures())
        pictures.Add(picture.first, picture.second);
    const std::vector<PAK_FILE_Entry> entries = Sound().Entries();
    const Bytes shortMap = PakCompress(entries.data(), entries.size() * PAK_ENTRY_SIZE - 1);
    PakWriter big;
    big.Add("BIG.BIN", Bytes(PAK_MAX_DECODED_SIZE + 1, 0));
    return {
        {"sound.kzp", sound},
        {"pictures.kzp", pictures.Bytes()},
        {"empty.kzp", PakWriter().Bytes()},
        {"foreign.kzp", WithU32(sound, MAGIC_AT, 0x12345678)},
        {"map_end_before_offset.kzp", WithU32(sound, MAP_END_AT, 100)},
        {"map_past_file.kzp", WithU32(sound, MAP_END_AT, 0x7FFFFFFF)},
        {"count_beyond_filemap.kzp", WithU32(sound, COUNT_AT, 9)},
        {"map_offset_past_file.kzp", WithU32(sound, MAP_OFFSET_AT, 0xFFFFFFF0)},
        {"filemap_cut.kzp", PakAssemble(static_cast<std::uint32_t>(entries.size()), {}, shortMap)},
        {"filemap_not_zlib.kzp", PakAssemble(1, {}, Text("no zlib here"))},
        {"bad_checksum.kzp", WithEntries([](std::vector<PAK_FILE_Entry>& e) { e[0].checksum += 1; })},
        {"size_disagrees.kzp", WithEntries([](std::vector<PAK_FILE_Entry>& e) { e[1].size -= 1; })},
        {"offset_past_file.kzp", WithEntries([](std::vector<PAK_FILE_Entry>& e) { e[1].offset = 0xFFFFFF00; })},
        {"name_fills_field.kzp",
         WithEntries([](std::vector<PAK_FILE_Entry>& e) { std::memset(e[2].name, 'N', PAK_NAME_SIZE); })},
        {"entry_over_10_mib.kzp", big.Bytes()},
        {"bare_zlib_stream.z", PakCompress(entries.data(), entries.size() * PAK_ENTRY_SIZE)},
    };
}

}  // namespace

int main(int argc, char** argv)
{
    return seed_files::WriteSeedFiles(argc, argv, "pak_seeds", ArchiveSeeds());
}
