// The resource archive: the PAK file records, the list of open archives and
// whole-file reads by name that fall back to loose files on the disk, plus the
// byte-sum checksum that the other file formats share. Single-threaded.
//
// Every failure appends its message to the error text and returns null or 0.
// Buffers handed out here are the caller's: release them with delete[].
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "archive records are read straight into memory: the host must be little-endian");

constexpr std::uint32_t PAK_FILE_ID = 0x464B4150;              // "PAKF"
constexpr std::uint32_t PAK_HEADER_SIZE = 276;                 // bytes; entry data starts here
constexpr std::uint32_t PAK_FREE_TEXT_SIZE = 256;              // bytes, not interpreted
constexpr std::uint32_t PAK_NAME_SIZE = 1024;                  // bytes: names stay under this length
constexpr std::uint32_t PAK_ENTRY_SIZE = 1040;                 // bytes of one filemap record
constexpr std::uint32_t PAK_MAX_DECODED_SIZE = 0xA00000;       // 10 MiB: bound of every zlib stream

// The first 276 bytes of an archive. A default header describes an empty
// archive of exactly that length.
struct PAK_FILE_Header {
    std::uint8_t text[PAK_FREE_TEXT_SIZE] = {};  // free text, zero by default
    std::uint32_t magic = PAK_FILE_ID;
    std::uint32_t MapEnd = PAK_HEADER_SIZE;      // file offset just past the packed filemap
    std::uint32_t FileCount = 0;                 // entries in the filemap
    std::uint32_t reserved = 0;                  // not read
    std::uint32_t MapOffset = PAK_HEADER_SIZE;   // file offset of the packed filemap

    // Reads and checks the header of the archive at path. Returns a new copy
    // (the caller deletes it) or null.
    static PAK_FILE_Header* Verify(const char* path);
};
static_assert(sizeof(PAK_FILE_Header) == PAK_HEADER_SIZE, "PAK_FILE_Header is a file record");

// One record of the decoded filemap.
struct PAK_FILE_Entry {
    char name[PAK_NAME_SIZE] = {};  // NUL-terminated, upper case, back-slashes kept
    std::uint32_t size = 0;         // decoded length in bytes
    std::uint32_t packedSize = 0;   // length of the zlib stream in the archive
    std::uint32_t checksum = 0;     // PAK_Checksum of the packed bytes
    std::uint32_t offset = 0;       // file offset of the packed bytes
};
static_assert(sizeof(PAK_FILE_Entry) == PAK_ENTRY_SIZE, "PAK_FILE_Entry is a file record");

// An entry of an open archive, in filemap order.
struct PAK_Entry {
    PAK_FILE_Entry file;       // the record as stored
    PAK_Entry* next = nullptr;  // next entry of the same archive
};

// One open archive. Records are made by Open and live in the open-archive
// list until CloseAll; nothing else removes them.
class PAK {
public:
    PAK() = default;
    PAK(const PAK&) = delete;
    PAK& operator=(const PAK&) = delete;
    // Releases the entry list and closes the file if it is open.
    ~PAK();

    // Opens, checks and indexes the archive at path and appends it to the
    // open-archive list. The record stays owned by the list.
    static PAK* Open(const char* path);

    // The whole file called name: from the first open archive that holds it
    // (no disk fall-back once an archive claims the name), else from the disk.
    // New buffer (delete[]) or null. The length comes from FileSize.
    static std::uint8_t* ReadFile(const char* name);
    // The same, with the buffer's own length stored into *length (0 on
    // failure). Decoders use this length: a loose file may change between
    // this read and a later FileSize.
    static std::uint8_t* ReadFile(const char* name, std::size_t* length);

    // Extracts one entry of this archive into a new buffer of exactly its
    // size field's length (delete[]), or null. The archive is reopened by its
    // stored path for the read and closed again.
    std::uint8_t* ReadFile(const PAK_Entry* entry);

    // The first entry whose stored name equals name upper-cased, or null.
    PAK_Entry* FindEntry(const char* name) const;

    // The decoded length of the file called name, as ReadFile would find it;
    // 0 when it cannot be found (or when it is empty).
    static std::uint32_t FileSize(const char* name);

    // Which way reads by name look: archives first and the disk for names no
    // archive holds, as the demo reads; or, with loose files first, a file
    // under the working directory before any archive's entry of its name,
    // for a tool that plays edits made on the disk. Archives first at start.
    static void SetLooseFilesFirst(bool looseFirst);

    // The oldest open archive, or null; the list continues through next.
    static PAK* First();

    // Empties the open-archive list and destroys its records. The demo never
    // calls it; tests and tools use it to start from no archives.
    static void CloseAll();

    std::FILE* file = nullptr;       // open only while the archive is being read
    char path[PAK_NAME_SIZE] = {};   // as opened, upper-cased
    std::uint32_t count = 0;         // FileCount of the header
    PAK_Entry* first = nullptr;      // owned entry list, in filemap order
    PAK_Entry* cursor = nullptr;     // last entry appended while the list is built
    PAK* next = nullptr;             // next archive of the open-archive list
};

// The wrapping 32-bit sum of length bytes taken as unsigned 8-bit values.
std::uint32_t PAK_Checksum(const void* data, std::size_t length);

// A chunk or file tag of the data files (archive, mesh, scene) as the 32-bit
// word its four characters make in reading order.
constexpr std::uint32_t PAK_Tag(const char (&text)[5])
{
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[0])) |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[3])) << 24;
}

// Decodes one zlib stream of packedLength bytes that may decode to at most
// PAK_MAX_DECODED_SIZE bytes. Returns a new buffer of exactly the decoded
// length (delete[]), the length stored into *size, or null.
std::uint8_t* PAK_Decode(const std::uint8_t* packed, std::uint32_t* size, std::uint32_t packedLength);

// Decodes one zlib stream straight into a new buffer of size bytes (delete[])
// when it holds exactly that many, at most PAK_MAX_DECODED_SIZE; null, with
// nothing reported, for anything else, which PAK_Decode then tells apart.
std::uint8_t* PAK_DecodeExactly(const std::uint8_t* packed, std::uint32_t packedLength, std::uint32_t size);
