// The open-archive list and the reads by name: opening and indexing an
// archive, finding entries, extracting them, and the fall-back to the disk.
// Every file is opened through the platform's data-file lookup and closed
// before the call that opened it returns.
#include "pak/pak.h"

#include <cstring>
#include <memory>
#include <new>

#include "host/error.h"
#include "platform/files.h"
#include "platform/uppercase.h"

namespace {

PAK* listHead = nullptr;  // oldest archive; the list owns its records
PAK* listTail = nullptr;
bool looseFilesFirst = false;

// A loose file of name wins over the archives.
bool ReadsLooseFile(const char* name) { return looseFilesFirst && !platform::FindDataFile(name).empty(); }

bool TooLong(const char* name) { return std::strlen(name) >= PAK_NAME_SIZE; }

// The file's length; the position is left at the end.
bool FileLength(std::FILE* file, std::uint64_t* length)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return false;
    const long end = std::ftell(file);
    if (end < 0)
        return false;
    *length = static_cast<std::uint64_t>(end);
    return true;
}

void CloseArchiveFile(PAK& archive)
{
    if (archive.file != nullptr)
        std::fclose(archive.file);
    archive.file = nullptr;
}

// Keeps an archive's file handle open for one read only, whichever way it ends.
class ArchiveFileScope {
public:
    explicit ArchiveFileScope(PAK& archive) : archive_(archive) {}
    ArchiveFileScope(const ArchiveFileScope&) = delete;
    ArchiveFileScope& operator=(const ArchiveFileScope&) = delete;
    ~ArchiveFileScope() { CloseArchiveFile(archive_); }

private:
    PAK& archive_;
};

void ReportOpen(const char* message, const char* path) { Error::Report(3, message, path, ")\n"); }

void ReportExtraction(const char* message, const PAK_Entry* entry, const char* archivePath)
{
    Error::Report(5, message, entry->file.name, " from ", archivePath, ")\n");
}

// Reads the packed filemap into a new buffer. The bounds are checked against
// the file before anything is allocated, so a damaged header costs nothing.
std::uint8_t* ReadPackedFilemap(PAK& archive, const PAK_FILE_Header& header, const char* path)
{
    const ArchiveFileScope scope(archive);
    archive.file = platform::OpenDataFile(path);
    if (archive.file == nullptr) {
        ReportOpen("PAK::Open: Couldn't open PAK-file(", path);
        return nullptr;
    }
    if (header.MapEnd < header.MapOffset) {
        ReportOpen("PAK::Open: Invalid filemap bounds(", path);
        return nullptr;
    }
    std::uint64_t length = 0;
    if (!FileLength(archive.file, &length) || header.MapEnd > length ||
        std::fseek(archive.file, header.MapOffset, SEEK_SET) != 0) {
        ReportOpen("PAK::Open: Error reading filemap(", path);
        return nullptr;
    }
    const std::uint32_t packedLength = header.MapEnd - header.MapOffset;
    std::unique_ptr<std::uint8_t[]> packed(new (std::nothrow) std::uint8_t[packedLength]);
    if (!packed) {
        ReportOpen("PAK::Open: Not enough memory (", path);
        return nullptr;
    }
    if (std::fread(packed.get(), 1, packedLength, archive.file) != packedLength) {
        ReportOpen("PAK::Open: Error reading filemap(", path);
        return nullptr;
    }
    return packed.release();
}

// Decodes the filemap and checks that it holds the header's count of records.
std::uint8_t* DecodeFilemap(const PAK& archive, const PAK_FILE_Header& header, const std::uint8_t* packed,
                            const char* path)
{
    std::uint32_t size = 0;
    std::unique_ptr<std::uint8_t[]> filemap(PAK_Decode(packed, &size, header.MapEnd - header.MapOffset));
    if (!filemap) {
        ReportOpen("PAK::Open: Error decompressing filemap. (", path);
        return nullptr;
    }
    if (static_cast<std::uint64_t>(archive.count) * PAK_ENTRY_SIZE > size) {
        ReportOpen("PAK::Open: Filemap too short(", path);
        return nullptr;
    }
    return filemap.release();
}

// Copies the count records of the filemap into the archive's entry list.
bool BuildEntryList(PAK& archive, const std::uint8_t* filemap, const char* path)
{
    for (std::uint32_t i = 0; i < archive.count; ++i) {
        const std::uint8_t* const record = filemap + static_cast<std::size_t>(i) * PAK_ENTRY_SIZE;
        // An unterminated name would make every later comparison run past it.
        if (std::memchr(record, '\0', PAK_NAME_SIZE) == nullptr) {
            ReportOpen("PAK::Open: Invalid name in filemap(", path);
            return false;
        }
        PAK_Entry* const entry = new (std::nothrow) PAK_Entry();
        if (entry == nullptr) {
            ReportOpen("PAK::Open: Not enough memory (", path);
            return false;
        }
        std::memcpy(&entry->file, record, PAK_ENTRY_SIZE);
        if (archive.first == nullptr)
            archive.first = entry;
        else
            archive.cursor->next = entry;
        archive.cursor = entry;
    }
    return true;
}

bool LoadFilemap(PAK& archive, const PAK_FILE_Header& header, const char* path)
{
    std::unique_ptr<std::uint8_t[]> packed(ReadPackedFilemap(archive, header, path));
    if (!packed)
        return false;
    const std::unique_ptr<std::uint8_t[]> filemap(DecodeFilemap(archive, header, packed.get(), path));
    packed.reset();
    return filemap && BuildEntryList(archive, filemap.get(), path);
}

// Reads an entry's packed bytes from the reopened archive. The range is
// checked against the file before anything is allocated.
std::uint8_t* ReadPackedEntry(PAK& archive, const PAK_Entry* entry)
{
    const PAK_FILE_Entry& record = entry->file;
    const ArchiveFileScope scope(archive);
    archive.file = platform::OpenDataFile(archive.path);
    if (archive.file == nullptr) {
        ReportExtraction("PAK::ReadFile: Couldn't open PAK-file(extracting ", entry, archive.path);
        return nullptr;
    }
    const char* const readError = "PAK_ReadFile: Error reading compressed data from PAK-file(extracting ";
    std::uint64_t length = 0;
    if (!FileLength(archive.file, &length) ||
        static_cast<std::uint64_t>(record.offset) + record.packedSize > length ||
        std::fseek(archive.file, record.offset, SEEK_SET) != 0) {
        ReportExtraction(readError, entry, archive.path);
        return nullptr;
    }
    std::unique_ptr<std::uint8_t[]> packed(new (std::nothrow) std::uint8_t[record.packedSize]);
    if (!packed) {
        ReportExtraction("PAK::ReadFile: Not enough memory(extracting ", entry, archive.path);
        return nullptr;
    }
    if (std::fread(packed.get(), 1, record.packedSize, archive.file) != record.packedSize) {
        ReportExtraction(readError, entry, archive.path);
        return nullptr;
    }
    return packed.release();
}

// The first open archive that holds name, with its entry; null when none does.
PAK_Entry* FindInArchives(const char* name, PAK** owner)
{
    for (PAK* archive = listHead; archive != nullptr; archive = archive->next) {
        if (PAK_Entry* const entry = archive->FindEntry(name)) {
            *owner = archive;
            return entry;
        }
    }
    return nullptr;
}

// Reads a loose file whole, its length stored into *read: the fall-back of ReadFile.
std::uint8_t* ReadDiskFile(const char* name, std::size_t* read)
{
    std::FILE* const file = platform::OpenDataFile(name);
    if (file == nullptr) {
        Error::Report(3, "PAK::ReadFile: File not found. (", name, ")\n");
        return nullptr;
    }
    std::uint64_t length = 0;
    if (!FileLength(file, &length) || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        Error::Report(3, "PAK::ReadFile: Error reading file(", name, ")\n");
        return nullptr;
    }
    std::unique_ptr<std::uint8_t[]> data(new (std::nothrow) std::uint8_t[length]);
    if (!data) {
        std::fclose(file);
        Error::Report(3, "PAK::ReadFile: Not enough memory(", name, ")\n");
        return nullptr;
    }
    *read = std::fread(data.get(), 1, length, file);
    std::fclose(file);
    if (*read != length) {
        *read = 0;
        Error::Report(3, "PAK::ReadFile: Error reading file(", name, ")\n");
        return nullptr;
    }
    return data.release();
}

}  // namespace

PAK::~PAK()
{
    while (first != nullptr) {
        PAK_Entry* const entry = first;
        first = entry->next;
        delete entry;
    }
    CloseArchiveFile(*this);
}

PAK* PAK::Open(const char* path)
{
    if (TooLong(path)) {
        ReportOpen("PAK::Open: Filename too long(", path);
        return nullptr;
    }
    const std::unique_ptr<PAK_FILE_Header> header(PAK_FILE_Header::Verify(path));
    if (!header) {
        ReportOpen("PAK::Open: PAK_FILE_Header::Verify() returned an error (", path);
        return nullptr;
    }
    std::unique_ptr<PAK> archive(new (std::nothrow) PAK());
    if (!archive) {
        ReportOpen("PAK::Open: Not enough memory (", path);
        return nullptr;
    }
    archive->count = header->FileCount;
    platform::CopyUpperCase(path, archive->path, PAK_NAME_SIZE);
    // An empty archive joins the list without its filemap ever being read.
    if (archive->count != 0 && !LoadFilemap(*archive, *header, path))
        return nullptr;
    if (listTail == nullptr)
        listHead = archive.get();
    else
        listTail->next = archive.get();
    listTail = archive.get();
    return archive.release();
}

PAK_Entry* PAK::FindEntry(const char* name) const
{
    char wanted[PAK_NAME_SIZE];
    if (!platform::CopyUpperCase(name, wanted, PAK_NAME_SIZE))
        return nullptr;
    for (PAK_Entry* entry = first; entry != nullptr; entry = entry->next) {
        if (std::strncmp(entry->file.name, wanted, PAK_NAME_SIZE) == 0)
            return entry;
    }
    return nullptr;
}

std::uint8_t* PAK::ReadFile(const PAK_Entry* entry)
{
    const PAK_FILE_Entry& record = entry->file;
    const std::unique_ptr<std::uint8_t[]> packed(ReadPackedEntry(*this, entry));
    if (!packed)
        return nullptr;
    if (PAK_Checksum(packed.get(), record.packedSize) != record.checksum) {
        ReportExtraction("PAK_ReadFile: Corrupt data (checksum error extracting ", entry, path);
        return nullptr;
    }
    // A sound entry decodes straight to its size; only a bad one needs the
    // scratch decode, whose messages say what is wrong with it.
    if (std::uint8_t* const exact = PAK_DecodeExactly(packed.get(), record.packedSize, record.size))
        return exact;
    std::uint32_t size = 0;
    std::unique_ptr<std::uint8_t[]> data(PAK_Decode(packed.get(), &size, record.packedSize));
    if (!data) {
        ReportExtraction("PAK::ReadFile: PAK::Decode returned an error(extracting ", entry, path);
        return nullptr;
    }
    // Callers take the length from FileSize, that is from the size field: a
    // shorter buffer would have them read past its end.
    if (size != record.size) {
        ReportExtraction("PAK_ReadFile: Corrupt data (size error extracting ", entry, path);
        return nullptr;
    }
    return data.release();
}

std::uint8_t* PAK::ReadFile(const char* name)
{
    std::size_t length = 0;
    return ReadFile(name, &length);
}

std::uint8_t* PAK::ReadFile(const char* name, std::size_t* length)
{
    *length = 0;
    if (TooLong(name)) {
        Error::Report(3, "PAK::ReadFile: Filename too long(", name, ")\n");
        return nullptr;
    }
    PAK* owner = nullptr;
    const PAK_Entry* const entry = ReadsLooseFile(name) ? nullptr : FindInArchives(name, &owner);
    if (entry == nullptr)
        return ReadDiskFile(name, length);
    // Once an archive claims the name, its failure is final: no disk fall-back.
    std::uint8_t* const data = owner->ReadFile(entry);
    if (data == nullptr)
        Error::Report(3, "PAK::ReadFile: PAK::ReadFile returned an error(", name, ")\n");
    else
        *length = entry->file.size;  // the extraction checked it against the decoded length
    return data;
}

std::uint32_t PAK::FileSize(const char* name)
{
    if (TooLong(name)) {
        Error::Report(3, "PAK::FileSize: Filename too long.(", name, ")\n");
        return 0;
    }
    PAK* owner = nullptr;
    const PAK_Entry* const entry = ReadsLooseFile(name) ? nullptr : FindInArchives(name, &owner);
    if (entry != nullptr)
        return entry->file.size;
    std::FILE* const file = platform::OpenDataFile(name);
    if (file == nullptr) {
        Error::Report(3, "PAK::FileSize: File not found.(", name, ")\n");
        return 0;
    }
    std::uint64_t length = 0;
    const bool known = FileLength(file, &length);
    std::fclose(file);
    return known ? static_cast<std::uint32_t>(length) : 0;
}

void PAK::SetLooseFilesFirst(bool looseFirst) { looseFilesFirst = looseFirst; }

PAK* PAK::First() { return listHead; }

void PAK::CloseAll()
{
    while (listHead != nullptr) {
        PAK* const archive = listHead;
        listHead = archive->next;
        delete archive;
    }
    listTail = nullptr;
}
