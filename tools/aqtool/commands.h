// The commands of aqtool, the data makers' tool. Each command gets the
// arguments after its name (their count already checked against its table
// entry), prints failures to stderr and returns the process's exit status.
#pragma once

namespace aqtool {

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

constexpr int ANY_MORE = 1 << 30;  // a command's optional arguments without bound

using CommandFunction = int (*)(char* const* arguments);

struct Command {
    const char* name;         // the first argument that chooses it
    const char* arguments;    // how its arguments read in the usage text
    const char* summary;      // one line for the usage text
    int argumentCount;        // at least this many arguments follow the name
    CommandFunction run;      // finds arguments[count] null after the last one
    int optionalCount = 0;    // and at most this many more (ANY_MORE: no bound)
};

// Prints the error text to stderr and returns EXIT_FAILED.
int Fail();

// Archives (archive_commands.cpp).
int Pack(char* const* arguments);     // OUT.kzp DIR
int List(char* const* arguments);     // ARCHIVE
int Extract(char* const* arguments);  // ARCHIVE NAME OUT
int Verify(char* const* arguments);   // ARCHIVE

// Pictures (picture_command.cpp).
int Picture(char* const* arguments);  // NAME OUT.tga

// Meshes (mesh_command.cpp).
int Mesh(char* const* arguments);  // NAME

// Scenes (scene_command.cpp, scenes_command.cpp, scene_text_command.cpp).
int ShowScene(char* const* arguments);   // NAME FRAME
int Scenes(char* const* arguments);      // (none)
int SceneText(char* const* arguments);   // NAME
int SceneBuild(char* const* arguments);  // TEXT OUT.scn

// Frames (render_command.cpp, sheet_command.cpp, speed_command.cpp).
int Render(char* const* arguments);  // NAME TIME OUT.tga [--size WxH] [--samples N]
int Sheet(char* const* arguments);   // OUT.png [TIMES...]
int Speed(char* const* arguments);   // [FRAMES]

// Models of other tools (import_command.cpp).
int Import(char* const* arguments);  // MODEL TREE SCENE [--fps N] [--camera NAME] [--scale S] [--end hold|repeat|none]

// Captures (capture_command.cpp).
int Capture(char* const* arguments);  // FIRST LAST FPS OUTDIR [--music FILE] [--size WxH] [--samples N]

// Previews (preview_command.cpp).
int Preview(char* const* arguments);  // FIRST [LAST] [--size WxH] [--samples N]

}  // namespace aqtool
