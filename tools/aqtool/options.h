// The options that follow a command's fixed arguments, each a name and its
// value: --music FILE for a capture, --size WxH and --samples N for the
// commands that draw, which then fill the Aquarium at that size and with
// that multisampling instead of the demo's 640 x 480.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/picture.h"

namespace aqtool {

constexpr const char* MUSIC_OPTION = "--music";
constexpr const char* SIZE_OPTION = "--size";
constexpr const char* SAMPLES_OPTION = "--samples";

struct ToolOptions {
    std::string music;                // empty unless --music was given
    platform::PictureChoice picture;  // the demo's unless --size or --samples was given
};

// The whole of text as a decimal number of up to four digits, at most limit.
bool ParseWholeNumber(const char* text, std::uint32_t limit, std::uint32_t& value);

// Reads options (null-terminated), each of them among allowed, into read.
// On a usage error prints "aqtool COMMAND: ..." naming the argument as given
// and returns EXIT_USAGE; otherwise EXIT_OK.
int ReadOptions(const char* command, char* const* options, std::initializer_list<const char*> allowed,
                ToolOptions& read);

}  // namespace aqtool
