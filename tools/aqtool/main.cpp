// aqtool's entry point: chooses a command by its name from the table and
// runs it. Asked-for help prints the usage text to stdout; a wrong name or
// argument count prints it to stderr, after naming an unknown command.
#include <cstdio>
#include <cstring>

#include "host/error.h"
#include "image/pixels.h"
#include "tools/aqtool/commands.h"

namespace aqtool {

namespace {

const Command COMMANDS[] = {
    {"pack", "OUT.kzp DIR", "pack every regular file under DIR into a new archive", 2, Pack},
    {"list", "ARCHIVE", "print name, size, packed size, checksum and offset of every entry", 1, List},
    {"extract", "ARCHIVE NAME OUT", "write the file NAME, read as the demo reads it, to OUT", 3, Extract},
    {"verify", "ARCHIVE", "extract every entry and report each bad one", 1, Verify},
    {"picture", "NAME OUT.tga", "load NAME as a texture and write the 32-bit result", 2, Picture},
    {"mesh", "NAME", "load the mesh NAME as a scene would and print it as JSON", 1, Mesh},
    {"scene", "NAME FRAME", "load the scene NAME as the demo does, animate it at FRAME and print it as JSON", 2,
     ShowScene},
    {"scenes", "", "print the scene table: each scene's number, file, start and end in ms of music, length, and "
     "whether the archive or the loose files hold it", 0, Scenes},
    {"scene-text", "NAME", "print the scene file NAME as JSON text: its header and every chunk in file order, "
     "each field by its name", 1, SceneText},
    {"scene-build", "TEXT OUT.scn", "write the scene file that the JSON text TEXT (-: standard input) describes; "
     "file size, counts and checksum are filled in unless TEXT gives them; a mistake gets status 2 and its place",
     2, SceneBuild},
    {"render", "NAME TIME OUT.tga [--size WxH] [--samples N]",
     "draw the frame of the scene NAME, TIME ms into it, as the demo does (headless, 640 x 480 or the 4:3 "
     "size WxH from 320x240 to 8192x6144, N-times multisampled) and write it as a 24-bit TGA; the first "
     "scene's trails build up over many frames, which one frame cannot show",
     3, Render, 4},
    {"sheet", "OUT.png [TIMES...]",
     "draw every scene of the show as render does, at the middle of its slot or at each given fraction of it, "
     "and write the frames with their scene numbers as one PNG contact sheet",
     1, Sheet, ANY_MORE},
    {"speed", "[FRAMES]",
     "draw FRAMES passes (120) spread over each scene's slot as the demo does and print frames per second, "
     "the slowest scene and the median",
     0, Speed, 1},
    {"capture", "FIRST LAST FPS OUTDIR [--music FILE] [--size WxH] [--samples N]",
     "play scenes FIRST to LAST as the demo does, headless, at exactly FPS frames a second of music time "
     "however long a frame takes, writing OUTDIR/frame00000.tga ... and OUTDIR/music.wav, the music of the "
     "same time; OUTDIR - writes raw RGB24 frames (rows top first) to stdout and the music to FILE; frames "
     "are 640 x 480 or WxH as render draws them",
     4, Capture, 6},
    {"preview", "FIRST [LAST] [--size WxH] [--samples N]",
     "play scenes FIRST to LAST (LAST: FIRST) in a loop with their music in a resizable window, as the demo "
     "plays them, loose files under the working directory before the archive's, and load a scene again when "
     "a file it uses changes; Space holds and goes on, Left and Right move 1 s, Page Up and Page Down a "
     "scene, Home goes back to FIRST, F10 saves a screenshot, Escape ends",
     1, Preview, 5},
    {"import", "MODEL TREE SCENE [--fps N] [--camera NAME] [--scale S] [--end hold|repeat|none]",
     "convert a model of another tool (glTF 2.0 first; FBX, Collada, OBJ, 3DS, PLY, STL, .blend and what else "
     "the Open Asset Import Library reads) into the scene SCENE of the data tree TREE, its meshes in the "
     "objects folder beside the scene's, its pictures in pictures; N frames a second (25), the camera NAME "
     "(the model's first), lengths times S (1), the tracks past the animation's end held (hold), repeated or "
     "left to run on; prints what was made and what was left out",
     3, Import, 8},
};

const char* const HELP_REQUESTS[] = {"--help", "-h", "help"};

void PrintUsage(std::FILE* out)
{
    std::fputs("usage: aqtool COMMAND ARGUMENTS...\n\ncommands:\n", out);
    for (const Command& command : COMMANDS)
        std::fprintf(out, "  %s%s%s\n      %s\n", command.name, command.arguments[0] != '\0' ? " " : "",
                     command.arguments, command.summary);
    std::fprintf(out,
                 "\nNAME is spelled as the demo asks for it; '/' may stand for '\\'.\n"
                 "Pictures: TGA types 2 and 10 at 15, 16 or 24 bits, baseline and progressive\n"
                 "JPEG; sides above %lld pixels are refused.\n",
                 static_cast<long long>(PICTURE_MAX_SIDE));
}

int Usage()
{
    PrintUsage(stderr);
    return EXIT_USAGE;
}

bool IsHelpRequest(const char* argument)
{
    for (const char* request : HELP_REQUESTS) {
        if (std::strcmp(argument, request) == 0)
            return true;
    }
    return false;
}

const Command* FindCommand(const char* name)
{
    for (const Command& command : COMMANDS) {
        if (std::strcmp(name, command.name) == 0)
            return &command;
    }
    return nullptr;
}

}  // namespace

int Fail()
{
    std::fputs(Error::Text(), stderr);
    return EXIT_FAILED;
}

}  // namespace aqtool

int main(int argc, char** argv)
{
    if (argc < 2)
        return aqtool::Usage();
    if (aqtool::IsHelpRequest(argv[1])) {
        aqtool::PrintUsage(stdout);
        return aqtool::EXIT_OK;
    }
    const aqtool::Command* const command = aqtool::FindCommand(argv[1]);
    if (command == nullptr) {
        std::fprintf(stderr, "aqtool: no command '%s'\n", argv[1]);
        return aqtool::Usage();
    }
    if (argc - 2 < command->argumentCount || argc - 2 > command->argumentCount + command->optionalCount)
        return aqtool::Usage();
    return command->run(argv + 2);
}
