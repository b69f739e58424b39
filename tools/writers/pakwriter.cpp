// The archive writer. Everything is built in memory and written in one go;
// errors go to the error text like everywhere else in the system.
#include "tools/writers/pakwriter.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <limits>

#include "host/error.h"
#include "tools/writers/bytesfile.h"

namespace {

constexpr int COMPRESSION_LEVEL = Z_BEST_COMPRESSION;
constexpr std::uint64_t MAX_ARCHIVE_SIZE = std::numeric_limits<std::uint32_t>::max();

void Append(std::vector<std::uint8_t>& target, const void* data, const std::size_t length)
{
    const auto* const bytes = static_cast<const std::uint8_t*>(data);
    target.insert(target.end(), bytes, bytes + length);
}

}  // namespace

std::vector<std::uint8_t> PakCompress(const void* data, const std::size_t length)
{
    uLongf packedLength = compressBound(length);
    std::vector<std::uint8_t> packed(packedLength);
    const int result = compress2(packed.data(), &packedLength, static_cast<const Bytef*>(data), length,
                                 COMPRESSION_LEVEL);
    if (result != Z_OK) {
        Error::Report(1, "PakCompress: zlib could not compress the data\n");
        return {};
    }
    packed.resize(packedLength);
    return packed;
}

std::vector<std::uint8_t> PakAssemble(const std::uint32_t fileCount, const std::vector<std::uint8_t>& streams,
                                      const std::vector<std::uint8_t>& packedFilemap)
{
    PAK_FILE_Header header;
    header.FileCount = fileCount;
    header.MapOffset = static_cast<std::uint32_t>(PAK_HEADER_SIZE + streams.size());
    header.MapEnd = static_cast<std::uint32_t>(header.MapOffset + packedFilemap.size());
    std::vector<std::uint8_t> archive;
    archive.reserve(PAK_HEADER_SIZE + streams.size() + packedFilemap.size());
    Append(archive, &header, sizeof header);
    Append(archive, streams.data(), streams.size());
    Append(archive, packedFilemap.data(), packedFilemap.size());
    return archive;
}

bool PakWriter::Add(const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    if (name.size() >= PAK_NAME_SIZE) {
        Error::Report(3, "PakWriter::Add: Name too long(", name.c_str(), ")\n");
        return false;
    }
    const char* const tooLarge = "PakWriter::Add: Archive would exceed 4 GiB(";
    if (bytes.size() > MAX_ARCHIVE_SIZE) {
        Error::Report(3, tooLarge, name.c_str(), ")\n");
        return false;
    }
    const std::vector<std::uint8_t> packed = PakCompress(bytes.data(), bytes.size());
    if (packed.empty())
        return false;
    const std::uint64_t offset = PAK_HEADER_SIZE + streams_.size();
    if (offset + packed.size() > MAX_ARCHIVE_SIZE) {
        Error::Report(3, tooLarge, name.c_str(), ")\n");
        return false;
    }
    PAK_FILE_Entry entry;
    std::memcpy(entry.name, name.c_str(), name.size() + 1);
    entry.size = static_cast<std::uint32_t>(bytes.size());
    entry.packedSize = static_cast<std::uint32_t>(packed.size());
    entry.checksum = PAK_Checksum(packed.data(), packed.size());
    entry.offset = static_cast<std::uint32_t>(offset);
    entries_.push_back(entry);
    Append(streams_, packed.data(), packed.size());
    return true;
}

std::vector<std::uint8_t> PakWriter::Bytes() const
{
    const std::size_t filemapSize = entries_.size() * sizeof(PAK_FILE_Entry);
    if (filemapSize > PAK_MAX_DECODED_SIZE) {
        Error::Report(1, "PakWriter::Bytes: Too many entries for one filemap\n");
        return {};
    }
    // An empty archive is a default header alone, its filemap never read.
    const std::vector<std::uint8_t> filemap =
        entries_.empty() ? std::vector<std::uint8_t>() : PakCompress(entries_.data(), filemapSize);
    if (!entries_.empty() && filemap.empty())
        return {};
    if (PAK_HEADER_SIZE + streams_.size() + filemap.size() > MAX_ARCHIVE_SIZE) {
        Error::Report(1, "PakWriter::Bytes: Archive would exceed 4 GiB\n");
        return {};
    }
    return PakAssemble(static_cast<std::uint32_t>(entries_.size()), streams_, filemap);
}

bool PakWriter::Write(const std::string& path) const
{
    const std::vector<std::uint8_t> archive = Bytes();
    return !archive.empty() && WriteBytesFile(path, archive);
}
