// JSON documents of the commands that show what the demo makes of its data,
// built as nlohmann-json values and laid out in the tool's own way: one line
// with a space after every comma and colon, or broken over lines down to a
// depth, floats with the nine significant digits that read every float back.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace aqtool {

using Json = nlohmann::ordered_json;  // members in the order they are added

// A float as JSON; JSON has no NaN or infinity, so those become null.
Json FloatValue(float value);

// count floats as a JSON array.
Json FloatArray(const float* values, int count);

// count records as a JSON array, each made by make.
template <class Record, class Make>
Json ArrayOf(const Record* records, unsigned count, Make make)
{
    Json array = Json::array();
    for (unsigned i = 0; i < count; ++i)
        array.push_back(make(records[i]));
    return array;
}

struct JsonLayout {
    // Objects, and arrays that hold arrays or objects, less than this deep
    // put each element on a line of its own, indented two spaces a level;
    // the others stay on one line.
    int brokenDepth = 0;
    // A negative zero as -0.0, which JSON readers take for a float, rather
    // than as -0, which most take for the integer 0.
    bool floatZeros = false;
};

// The text of value laid out as layout says. Strings escape quotes,
// back-slashes (archive names are full of them) and control characters.
std::string JsonText(const Json& value, JsonLayout layout = {});

// Prints JsonText and a newline on stdout and flushes it; false when that fails.
bool PrintJson(const Json& value, JsonLayout layout = {});

}  // namespace aqtool
