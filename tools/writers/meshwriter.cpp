// The mesh file writer. Files are built in memory from records laid out as the
// loader reads them (little-endian host); only MeshWriteFile touches the disk.
#include "tools/writers/meshwriter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "host/error.h"
#include "pak/pak.h"

namespace {

constexpr std::size_t FILE_SIZE_OFFSET = offsetof(VECTOR_FILE_Header, fileSize);

template <class Record>
MeshChunk ChunkOf(std::uint32_t tag, const std::vector<Record>& records)
{
    MeshChunk chunk;
    chunk.tag = tag;
    chunk.data.resize(records.size() * sizeof(Record));
    if (!records.empty())
        std::memcpy(chunk.data.data(), records.data(), chunk.data.size());
    return chunk;
}

void Append(std::vector<std::uint8_t>& bytes, const void* data, std::size_t length)
{
    const auto* const start = static_cast<const std::uint8_t*>(data);
    bytes.insert(bytes.end(), start, start + length);
}

void AppendU32(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    Append(bytes, &value, sizeof value);
}

void StoreU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

std::uint32_t LoadU32(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    std::uint32_t value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

}  // namespace

MeshChunk MeshVerticesChunk(const std::vector<VECTOR_FILE_Vertex>& vertices)
{
    return ChunkOf(VECTOR_VERTICES_TAG, vertices);
}

MeshChunk MeshFacesChunk(const std::vector<VECTOR_FILE_Face>& faces)
{
    return ChunkOf(VECTOR_FACES_TAG, faces);
}

MeshChunk MeshMaterialsChunk(const std::vector<VECTOR_FILE_Material>& materials)
{
    return ChunkOf(VECTOR_MATERIALS_TAG, materials);
}

void MeshSetName(char (&field)[VECTOR_NAME_SIZE], const std::string& name)
{
    const std::size_t length = std::min(name.size(), VECTOR_NAME_SIZE - 1);
    std::memset(field, 0, VECTOR_NAME_SIZE);
    std::memcpy(field, name.data(), length);
}

MeshFile MeshLayout(const MeshContent& content)
{
    MeshFile file;
    file.header.atomCount = static_cast<std::uint32_t>(content.vertices.size());
    file.header.cellCount = static_cast<std::uint32_t>(content.faces.size());
    file.header.materialCount = static_cast<std::uint32_t>(content.materials.size());
    file.chunks = {MeshVerticesChunk(content.vertices), MeshFacesChunk(content.faces),
                   MeshMaterialsChunk(content.materials)};
    return file;
}

std::vector<std::uint8_t> MeshEncode(const MeshFile& file)
{
    std::vector<std::uint8_t> bytes;
    Append(bytes, &file.header, sizeof file.header);
    if (file.header.headerLength > VECTOR_HEADER_FIELDS_SIZE)
        bytes.resize(bytes.size() + (file.header.headerLength - VECTOR_HEADER_FIELDS_SIZE), 0);
    for (const MeshChunk& chunk : file.chunks) {
        AppendU32(bytes, chunk.tag);
        AppendU32(bytes, chunk.declaredLength.value_or(static_cast<std::uint32_t>(chunk.data.size())));
        Append(bytes, chunk.data.data(), chunk.data.size());
    }
    if (!file.keepFileSize)
        StoreU32(bytes, FILE_SIZE_OFFSET, static_cast<std::uint32_t>(bytes.size()));
    if (!file.keepChecksum)
        MeshSeal(bytes);
    return bytes;
}

void MeshSeal(std::vector<std::uint8_t>& bytes)
{
    StoreU32(bytes, VECTOR_CHECKSUM_OFFSET, 0);
    const std::size_t covered = std::min<std::size_t>(LoadU32(bytes, FILE_SIZE_OFFSET), bytes.size());
    StoreU32(bytes, VECTOR_CHECKSUM_OFFSET, PAK_Checksum(bytes.data(), covered));
}

