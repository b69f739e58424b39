// The commands' options; see options.h.
#include "tools/aqtool/options.h"

#include <cstdio>
#include <cstring>

#include "tools/aqtool/commands.h"

namespace aqtool {

namespace {

bool Allowed(const char* name, std::initializer_list<const char*> allowed)
{
    for (const char* option : allowed) {
        if (std::strcmp(name, option) == 0)
            return true;
    }
    return false;
}

int Refuse(const char* command, const std::string& text)
{
    std::fprintf(stderr, "aqtool %s: %s\n", command, text.c_str());
    return EXIT_USAGE;
}

// One option and its value into read; false with why.
bool ReadOption(const char* name, const char* value, ToolOptions& read, std::string& why)
{
    if (std::strcmp(name, MUSIC_OPTION) == 0) {
        read.music = value;
        return true;
    }
    if (std::strcmp(name, SIZE_OPTION) == 0) {
        read.picture.sizeChosen = true;
        if (platform::ParsePictureSize(value, read.picture.size))
            return true;
        why = std::string(SIZE_OPTION) + ": " + platform::SizeRefusal(value);
        return false;
    }
    if (platform::ParseSamples(value, read.picture.samples))
        return true;
    why = std::string(SAMPLES_OPTION) + ": " + platform::SamplesRefusal(value);
    return false;
}

}  // namespace

bool ParseWholeNumber(const char* text, std::uint32_t limit, std::uint32_t& value)
{
    if (*text == '\0' || std::strlen(text) > 4)
        return false;
    std::uint32_t number = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9')
            return false;
        number = number * 10 + static_cast<std::uint32_t>(*c - '0');
    }
    value = number;
    return number <= limit;
}

int ReadOptions(const char* command, char* const* options, std::initializer_list<const char*> allowed,
                ToolOptions& read)
{
    for (char* const* option = options; *option != nullptr; option += 2) {
        if (!Allowed(*option, allowed))
            return Refuse(command, std::string("no option '") + *option + "'");
        if (option[1] == nullptr)
            return Refuse(command, std::string("the option ") + *option + " needs a value");
        std::string why;
        if (!ReadOption(option[0], option[1], read, why))
            return Refuse(command, why);
    }
    return EXIT_OK;
}

}  // namespace aqtool
