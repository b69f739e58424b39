// Printing JSON values on stdout for the commands that show what the demo
// makes of its data.
#pragma once

#include <cstdio>

namespace aqtool {

// Nine significant digits, enough to read every float back exactly; JSON
// has no NaN or infinity, so those print as null.
void PrintFloat(float value);

// count floats as a JSON array.
void PrintFloats(const float* values, int count);

// A JSON string of text: quotes, back-slashes (archive names are full of
// them) and control characters escaped.
void PrintString(const char* text);

// count records as a JSON array, each printed by print.
template <class Record, class Print>
void PrintEach(const Record* records, unsigned count, Print print)
{
    std::fputc('[', stdout);
    for (unsigned i = 0; i < count; ++i) {
        if (i > 0)
            std::fputs(", ", stdout);
        print(records[i]);
    }
    std::fputc(']', stdout);
}

}  // namespace aqtool
