// The byte-sum checksum and the bounded zlib decode that every archive read
// ends in. Both work on caller-owned memory and keep no state.
#include <zlib.h>

#include <cstring>
#include <memory>
#include <new>

#include "host/error.h"
#include "pak/pak.h"

namespace {

const char* const NO_MEMORY = "PAK_Decode: Not enough memory for decompression.\n";

// The end of the "zlib returned an error (" message for a zlib result.
const char* ZlibErrorName(const int result)
{
    switch (result) {
    case Z_BUF_ERROR:
        return "Z_BUF_ERROR)\n";
    case Z_MEM_ERROR:
        return "Z_MEM_ERROR)\n";
    case Z_DATA_ERROR:
        return "Z_DATA_ERROR)\n";
    default:
        return "unknown error)\n";
    }
}

}  // namespace

std::uint32_t PAK_Checksum(const void* data, const std::size_t length)
{
    const auto* const bytes = static_cast<const std::uint8_t*>(data);
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < length; ++i)
        sum += bytes[i];
    return sum;
}

std::uint8_t* PAK_DecodeExactly(const std::uint8_t* packed, const std::uint32_t packedLength, const std::uint32_t size)
{
    if (size == 0 || size > PAK_MAX_DECODED_SIZE)
        return nullptr;
    std::unique_ptr<std::uint8_t[]> decoded(new (std::nothrow) std::uint8_t[size]);
    if (!decoded)
        return nullptr;
    uLongf decodedLength = size;
    if (uncompress(decoded.get(), &decodedLength, packed, packedLength) != Z_OK || decodedLength != size)
        return nullptr;
    return decoded.release();
}

std::uint8_t* PAK_Decode(const std::uint8_t* packed, std::uint32_t* size, const std::uint32_t packedLength)
{
    // The scratch lives for this call only: decoding needs the whole bound at once.
    const std::unique_ptr<std::uint8_t[]> scratch(new (std::nothrow) std::uint8_t[PAK_MAX_DECODED_SIZE]);
    if (!scratch) {
        Error::Report(1, NO_MEMORY);
        return nullptr;
    }
    uLongf decodedLength = PAK_MAX_DECODED_SIZE;
    const int result = uncompress(scratch.get(), &decodedLength, packed, packedLength);
    if (result != Z_OK) {
        Error::Report(2, "PAK_Decode: zlib returned an error (", ZlibErrorName(result));
        return nullptr;
    }
    *size = static_cast<std::uint32_t>(decodedLength);
    std::uint8_t* const decoded = new (std::nothrow) std::uint8_t[decodedLength];
    if (decoded == nullptr) {
        Error::Report(1, NO_MEMORY);
        return nullptr;
    }
    std::memcpy(decoded, scratch.get(), decodedLength);
    return decoded;
}
