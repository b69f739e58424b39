// Where each field that the scene text names lies in a chunk's data and in a
// key: one table per record, read by the text's printer and by its builder,
// so that the two always agree on names and places.
#pragma once

#include <cstddef>
#include <cstdint>

namespace aqtool {

enum class FieldKind {
    WORD,    // u32
    INDEX,   // i32, an object index or -1
    FLOAT,
    FLOATS,  // three floats
    NAME,    // a NUL-padded name field of 1024 bytes
};

struct FieldPlace {
    const char* name;
    FieldKind kind;
    std::size_t offset;
};

// A record of fixed fields: count fields, size bytes in all.
struct RecordLayout {
    const FieldPlace* fields;
    std::size_t count;
    std::size_t size;
};

// A chunk's data: its fixed fields, then, for chunks with keys, as many keys
// as the last fixed field (the key count) says. A key is the head that every
// key kind shares, then its channels; the channels' record has the key's size.
struct ChunkLayout {
    RecordLayout fixed;
    const RecordLayout* keyChannels;  // null: no keys
};

const RecordLayout& KeyHead();

constexpr std::size_t FIELD_FLOATS = 3;
constexpr std::size_t KEY_COUNT_SIZE = 4;

// The layout of a chunk kind the text shows by its fields; null for others.
const ChunkLayout* LayoutOfTag(std::uint32_t tag);

}  // namespace aqtool
