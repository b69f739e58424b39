// The mesh file's checks, in the order the loader needs them: header,
// chunks, the records' counts, indices, names and numbers.
#include "scene/vectorchecks.h"

#include <cmath>

#include "host/error.h"
#include "pak/pak.h"
#include "scene/chunkhead.h"

namespace {

constexpr std::uint32_t VERTEX_SIZE = sizeof(VECTOR_FILE_Vertex);
constexpr std::uint32_t FACE_SIZE = sizeof(VECTOR_FILE_Face);
constexpr std::uint32_t MATERIAL_SIZE = sizeof(VECTOR_FILE_Material);

// The byte sum of the first fileSize bytes as if the checksum field were 0.
std::uint32_t FileChecksum(const std::uint8_t* file, std::uint32_t fileSize)
{
    const std::uint8_t* const field = file + VECTOR_CHECKSUM_OFFSET;
    return PAK_Checksum(file, fileSize) - (field[0] + field[1] + field[2] + field[3]);
}

// The header checks; on success *header holds the header.
bool CheckHeader(const std::uint8_t* file, std::size_t length, VECTOR_FILE_Header* header)
{
    if (length < sizeof(VECTOR_FILE_Header)) {
        Error::Report(1, "Vector::Load: File too short for its header.\n");
        return false;
    }
    *header = ReadVectorRecord<VECTOR_FILE_Header>(file);
    const char* problem = nullptr;
    if (header->fileId != VECTOR_FILE_ID)
        problem = "Vector::Load: Corrupt VECTOR_FILE_ID.\n";
    else if (header->version < VECTOR_MIN_VERSION)
        problem = "Vector::Load: Incompatible fileversions.\n";
    else if (header->fileSize > length)
        problem = "Vector::Load: File size runs past the end of the file.\n";
    else if (header->headerLength < VECTOR_HEADER_FIELDS_SIZE)
        problem = "Vector::Load: Header shorter than its fields.\n";
    else if (VECTOR_HEADER_DATA_OFFSET + std::uint64_t{header->headerLength} > header->fileSize)
        problem = "Vector::Load: Header runs past the file size.\n";
    else if (FileChecksum(file, header->fileSize) != header->checksum)
        problem = "Vector::Load: Checksum failure.\n";
    if (problem != nullptr)
        Error::Report(1, problem);
    return problem == nullptr;
}

bool IsKnownTag(std::uint32_t tag)
{
    return tag == VECTOR_VERTICES_TAG || tag == VECTOR_FACES_TAG || tag == VECTOR_MATERIALS_TAG;
}

// Walks the chunks up to the file size, remembering the last chunk of each
// known tag (scene/chunkhead.h says how one past the file size is met).
bool ScanChunks(const std::uint8_t* file, std::size_t length, VectorLayout* layout)
{
    const std::uint64_t fileSize = layout->header.fileSize;
    std::uint64_t offset = VECTOR_HEADER_DATA_OFFSET + std::uint64_t{layout->header.headerLength};
    while (offset < fileSize) {
        const ChunkHead head = ReadChunkHead(file, length, fileSize, offset);
        if (!head.inside) {
            if (!IsKnownTag(head.tag))
                return true;
            Error::Report(1, "Vector::Load: Chunk runs past the file size.\n");
            return false;
        }
        const VectorChunk chunk{file + head.start, head.length};
        if (head.tag == VECTOR_VERTICES_TAG)
            layout->vertices = chunk;
        else if (head.tag == VECTOR_FACES_TAG)
            layout->faces = chunk;
        else if (head.tag == VECTOR_MATERIALS_TAG)
            layout->materials = chunk;
        offset = head.start + head.length;
    }
    return true;
}

// A non-zero count needs its chunk, and the chunk needs count records.
bool CheckChunk(const VectorChunk& chunk, std::uint32_t count, std::uint32_t recordSize, const char* tag)
{
    if (count == 0)
        return true;
    if (chunk.data == nullptr) {
        Error::Report(3, "Vector::Load: Missing ", tag, " chunk.\n");
        return false;
    }
    if (chunk.length / recordSize < count) {
        Error::Report(3, "Vector::Load: Too few records in ", tag, " chunk.\n");
        return false;
    }
    return true;
}

// The floats of a record: floats of them from offset first on, side by side.
struct FloatRun {
    std::size_t first;
    std::size_t floats;
};

constexpr FloatRun VERTEX_FLOATS{0, 3};
constexpr FloatRun FACE_FLOATS{offsetof(VECTOR_FILE_Face, uv), 6};
constexpr FloatRun MATERIAL_FLOATS{offsetof(VECTOR_FILE_Material, colour), 6};
static_assert(offsetof(VECTOR_FILE_Material, further1) == MATERIAL_FLOATS.first + 5 * sizeof(float));

// Every float the loader takes from count records must be a finite number:
// nothing else may reach the renderer and, through it, OpenGL.
bool CheckNumbers(const VectorChunk& chunk, std::uint32_t count, std::uint32_t recordSize, FloatRun run, const char* tag)
{
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* const record = chunk.data + std::size_t{i} * recordSize + run.first;
        for (std::size_t k = 0; k < run.floats; ++k) {
            if (!std::isfinite(ReadVectorRecord<float>(record + k * sizeof(float)))) {
                Error::Report(3, "Vector::Load: Number that is not finite in ", tag, " chunk.\n");
                return false;
            }
        }
    }
    return true;
}

bool CheckFaces(const VectorLayout& layout)
{
    for (std::uint32_t i = 0; i < layout.header.cellCount; ++i) {
        const auto face = ReadVectorRecord<VECTOR_FILE_Face>(layout.faces.data + std::size_t{i} * FACE_SIZE);
        for (const std::uint32_t corner : face.corners) {
            if (corner >= layout.header.atomCount) {
                Error::Report(1, "Vector::Load: Corner index out of range.\n");
                return false;
            }
        }
        if (face.material >= layout.header.materialCount) {
            Error::Report(1, "Vector::Load: Material index out of range.\n");
            return false;
        }
    }
    return true;
}

bool IsTerminated(const char (&name)[VECTOR_NAME_SIZE])
{
    return std::memchr(name, '\0', VECTOR_NAME_SIZE) != nullptr;
}

// Every map name that a material's flags will use must end inside its field.
bool CheckMapNames(const VectorLayout& layout)
{
    for (std::uint32_t i = 0; i < layout.header.materialCount; ++i) {
        const auto record =
            ReadVectorRecord<VECTOR_FILE_Material>(layout.materials.data + std::size_t{i} * MATERIAL_SIZE);
        const bool terminated =
            ((record.flags & Material::COLOUR_MAP) == 0 || IsTerminated(record.colourMapName)) &&
            ((record.flags & Material::ENVIRONMENT) == 0 || IsTerminated(record.secondMapName)) &&
            ((record.flags & Material::BUMP_PICTURE) == 0 || IsTerminated(record.bumpPictureName));
        if (!terminated) {
            Error::Report(1, "Vector::Load: Map name not terminated.\n");
            return false;
        }
    }
    return true;
}

}  // namespace

bool CheckVectorFile(const std::uint8_t* file, std::size_t length, VectorLayout* layout)
{
    const VECTOR_FILE_Header& header = layout->header;
    return CheckHeader(file, length, &layout->header) && ScanChunks(file, length, layout) &&
           CheckChunk(layout->vertices, header.atomCount, VERTEX_SIZE, "VERT") &&
           CheckChunk(layout->faces, header.cellCount, FACE_SIZE, "FACE") &&
           CheckChunk(layout->materials, header.materialCount, MATERIAL_SIZE, "MSPC") &&
           CheckFaces(*layout) && CheckMapNames(*layout) &&
           CheckNumbers(layout->vertices, header.atomCount, VERTEX_SIZE, VERTEX_FLOATS, "VERT") &&
           CheckNumbers(layout->faces, header.cellCount, FACE_SIZE, FACE_FLOATS, "FACE") &&
           CheckNumbers(layout->materials, header.materialCount, MATERIAL_SIZE, MATERIAL_FLOATS, "MSPC");
}

