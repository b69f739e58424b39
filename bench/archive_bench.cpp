// Bytes per second read out of the default show's archive by name, as the
// demo reads its files (reopen, read, checksum, decode, exact-size copy),
// beside zlib's uncompress of the same entries' packed bytes, held in memory,
// into buffers made once: the bound the reader can approach.
#include <benchmark/benchmark.h>

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "host/error.h"
#include "pak/pak.h"

namespace {

PAK* OpenShow()
{
    static PAK* const archive = PAK::Open(SHOW_ARCHIVE);
    return archive;
}

std::uint64_t DecodedBytes(const PAK* archive)
{
    std::uint64_t bytes = 0;
    for (const PAK_Entry* entry = archive->first; entry != nullptr; entry = entry->next)
        bytes += entry->file.size;
    return bytes;
}

void BM_ArchiveRead(benchmark::State& state)
{
    const PAK* const archive = OpenShow();
    if (archive == nullptr) {
        state.SkipWithError(Error::Text());
        return;
    }
    for (auto _ : state) {
        for (const PAK_Entry* entry = archive->first; entry != nullptr; entry = entry->next) {
            std::uint8_t* const bytes = PAK::ReadFile(entry->file.name);
            benchmark::DoNotOptimize(bytes);
            delete[] bytes;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * DecodedBytes(archive)));
    state.counters["entries"] = archive->count;
}

struct PackedEntry {
    std::vector<std::uint8_t> packed;
    std::vector<std::uint8_t> decoded;  // the entry's size
};

std::vector<PackedEntry> ReadPackedEntries(const PAK* archive)
{
    std::vector<PackedEntry> entries;
    std::FILE* const file = std::fopen(SHOW_ARCHIVE, "rb");
    for (const PAK_Entry* entry = archive->first; file != nullptr && entry != nullptr; entry = entry->next) {
        PackedEntry packed;
        packed.packed.resize(entry->file.packedSize);
        packed.decoded.resize(entry->file.size);
        std::fseek(file, static_cast<long>(entry->file.offset), SEEK_SET);
        if (std::fread(packed.packed.data(), 1, packed.packed.size(), file) != packed.packed.size())
            break;
        entries.push_back(std::move(packed));
    }
    if (file != nullptr)
        std::fclose(file);
    return entries;
}

void BM_RawInflate(benchmark::State& state)
{
    const PAK* const archive = OpenShow();
    if (archive == nullptr) {
        state.SkipWithError(Error::Text());
        return;
    }
    std::vector<PackedEntry> entries = ReadPackedEntries(archive);
    for (auto _ : state) {
        for (PackedEntry& entry : entries) {
            uLongf length = entry.decoded.size();
            uncompress(entry.decoded.data(), &length, entry.packed.data(), entry.packed.size());
            benchmark::DoNotOptimize(entry.decoded.data());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * DecodedBytes(archive)));
    state.counters["entries"] = static_cast<double>(entries.size());
}

}  // namespace

BENCHMARK(BM_ArchiveRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawInflate)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
