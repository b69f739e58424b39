// PAK_FILE_Header::Verify: the first check of an archive. The file is opened
// through the platform's data-file lookup and closed again before returning.
#include <new>

#include "host/error.h"
#include "pak/pak.h"
#include "platform/files.h"

PAK_FILE_Header* PAK_FILE_Header::Verify(const char* path)
{
    PAK_FILE_Header* const header = new (std::nothrow) PAK_FILE_Header();
    if (header == nullptr) {
        Error::Report(3, "PAK_FILE_Header::Verify: Not enough memory to verify PAK-file(", path, ")\n");
        return nullptr;
    }
    std::FILE* const file = platform::OpenDataFile(path);
    if (file == nullptr) {
        Error::Report(3, "PAK_FILE_Header::Verify: Couldn't open PAK-file(", path, ")\n");
        delete header;
        return nullptr;
    }
    const std::size_t read = std::fread(header, 1, PAK_HEADER_SIZE, file);
    std::fclose(file);
    if (read != PAK_HEADER_SIZE) {
        Error::Report(3, "PAK_FILE_Header::Verify: Couldn't read PAK-header(", path, ")\n");
        delete header;
        return nullptr;
    }
    if (header->magic != PAK_FILE_ID) {
        Error::Report(3, "PAK_FILE_Header::Verify: Invalid PAK-file(", path, ")\n");
        delete header;
        return nullptr;
    }
    return header;
}
