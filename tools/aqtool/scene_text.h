// A scene file as text: a JSON document with the header and every chunk in
// file order, each field by its name, names as text and keys as arrays; and
// that text built back into the file, byte for byte.
//
// Whatever the text cannot name keeps its bytes as hexadecimal: a chunk whose
// fields do not describe its data exactly ({"tag", "data"}), and bytes that do
// not make a whole chunk ({"bytes"}). The header's file size, checksum and
// three counts appear only where the file's own differ from what building
// fills in, so that an edited text builds a file the demo accepts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/aqtool/json_output.h"

namespace aqtool {

// The text's layout: a line for every header field, chunk field and key, and
// negative zeros that read back as they were.
constexpr JsonLayout SCENE_TEXT_LAYOUT = {4, true};

// The text of a scene file; nullopt with failure set when file is shorter
// than a header.
std::optional<Json> SceneFileText(const std::vector<std::uint8_t>& file, std::string& failure);

// The file the text describes; nullopt with mistake set to where the text
// goes wrong and how ("chunks[3].keys[2].frame: not a number").
std::optional<std::vector<std::uint8_t>> BuildSceneFile(const Json& text, std::string& mistake);

// One chunk of the text as its tag and data; nullopt with mistake set as above.
struct SceneTextChunk {
    std::uint32_t tag;
    std::vector<std::uint8_t> data;
};
std::optional<SceneTextChunk> BuildSceneChunk(const Json& chunk, const std::string& path, std::string& mistake);

}  // namespace aqtool
