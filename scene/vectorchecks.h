// The mesh file's checks: the header, the chunk scan and every record the
// loader will read, all before anything is allocated, so that nothing is
// ever read outside the buffer or written outside the arrays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "scene/vector.h"

// Where a chunk's data lies in the file; data is null while the tag was not seen.
struct VectorChunk {
    const std::uint8_t* data = nullptr;
    std::uint64_t length = 0;
};

// A checked file: its header and the last chunk of each known tag.
struct VectorLayout {
    VECTOR_FILE_Header header;
    VectorChunk vertices;
    VectorChunk faces;
    VectorChunk materials;
};

// The record at at, read byte for byte.
template <class Record>
Record ReadVectorRecord(const std::uint8_t* at)
{
    Record record;
    std::memcpy(&record, at, sizeof record);
    return record;
}

// Every check of the file of length bytes; each refusal is reported with its
// own "Vector::Load: " message. On success *layout says where everything is.
bool CheckVectorFile(const std::uint8_t* file, std::size_t length, VectorLayout* layout);
