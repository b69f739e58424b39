// The upper-casing copy shared by every name lookup.
#include "platform/uppercase.h"

namespace platform {

bool CopyUpperCase(const char* source, char* target, std::size_t capacity)
{
    for (std::size_t i = 0; i < capacity; ++i) {
        target[i] = UpperCaseAscii(source[i]);
        if (source[i] == '\0')
            return true;
    }
    if (capacity > 0)
        target[0] = '\0';
    return false;
}

}  // namespace platform
