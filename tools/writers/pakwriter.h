// Writing archives in the PAK format: entries are compressed one by one in
// the order they are added, the filemap follows them. The output depends on
// nothing but the entries (fixed compression level, zero free text).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pak/pak.h"

// The zlib stream of length bytes at the archive's fixed level; empty (with
// the error text reporting why) when zlib fails.
std::vector<std::uint8_t> PakCompress(const void* data, std::size_t length);

// A whole archive from its parts: a default header carrying fileCount, the
// entry streams from offset 276, then the packed filemap, with MapOffset and
// MapEnd pointing at it. Tests use it to build archives the writer would not.
std::vector<std::uint8_t> PakAssemble(std::uint32_t fileCount, const std::vector<std::uint8_t>& streams,
                                      const std::vector<std::uint8_t>& packedFilemap);

class PakWriter {
public:
    // Appends an entry stored under name exactly as given: callers that want
    // it found by the reader pass it upper-cased. False (reported) when the
    // name does not fit its field, zlib fails or the archive would pass 4 GiB.
    bool Add(const std::string& name, const std::vector<std::uint8_t>& bytes);

    // The filemap records, in the order added. Editable, so that tests can
    // store a wrong checksum, size or name.
    std::vector<PAK_FILE_Entry>& Entries() { return entries_; }

    // The finished archive; empty (reported) when the filemap cannot be built.
    std::vector<std::uint8_t> Bytes() const;

    // Writes Bytes() to path, replacing the file. False (reported) on failure.
    bool Write(const std::string& path) const;

private:
    std::vector<PAK_FILE_Entry> entries_;
    std::vector<std::uint8_t> streams_;  // the entry streams back to back
};
