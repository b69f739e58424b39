// The chunks that mesh and scene files share: a four-character tag, a
// 32-bit data length, the data, one after the other while the offset is
// below the file size S. A chunk whose head or data runs past S ends the
// scan when its tag is unknown, as skipping it would; a known one fails the
// file.
#pragma once

#include <cstdint>
#include <cstring>

constexpr std::uint64_t CHUNK_HEAD_SIZE = 8;  // tag and data length

struct ChunkHead {
    std::uint32_t tag;     // 0, no known tag, when the bytes left cannot hold one
    std::uint64_t start;   // where the data begins
    std::uint64_t length;  // of the data
    bool inside;           // head and data lie inside S
};

// The chunk at offset (below fileSize) of file, whose tag may be read from
// the first tagRoom bytes.
inline ChunkHead ReadChunkHead(const std::uint8_t* file, std::uint64_t tagRoom, std::uint64_t fileSize,
                               std::uint64_t offset)
{
    ChunkHead head{0, offset + CHUNK_HEAD_SIZE, 0, false};
    if (tagRoom - offset >= sizeof head.tag)
        std::memcpy(&head.tag, file + offset, sizeof head.tag);
    if (fileSize - offset < CHUNK_HEAD_SIZE)
        return head;
    std::uint32_t length = 0;
    std::memcpy(&length, file + offset + sizeof head.tag, sizeof length);
    head.length = length;
    head.inside = head.length <= fileSize - head.start;
    return head;
}
