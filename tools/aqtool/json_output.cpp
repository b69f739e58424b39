// JSON values on stdout.
#include "tools/aqtool/json_output.h"

#include <cmath>
#include <cstdio>

namespace aqtool {

void PrintFloat(float value)
{
    if (std::isfinite(value))
        std::printf("%.9g", static_cast<double>(value));
    else
        std::fputs("null", stdout);
}

void PrintFloats(const float* values, int count) { PrintEach(values, static_cast<unsigned>(count), PrintFloat); }

void PrintString(const char* text)
{
    std::fputc('"', stdout);
    for (const char* c = text; *c != '\0'; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        if (byte == '"' || byte == '\\')
            std::printf("\\%c", byte);
        else if (byte < 0x20)
            std::printf("\\u%04x", byte);
        else
            std::fputc(byte, stdout);
    }
    std::fputc('"', stdout);
}

}  // namespace aqtool
