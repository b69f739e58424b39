// aqtool's entry point: chooses a command by its name from the table and
// runs it; a wrong name or argument count prints the usage text.
#include <cstdio>
#include <cstring>

#include "host/error.h"
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
    {"render", "NAME TIME OUT.tga",
     "draw the frame of the scene NAME, TIME ms into it, as the demo does (640 x 480, headless) and write it as "
     "a 24-bit TGA; the first scene's trails build up over many frames, which one frame cannot show",
     3, Render},
    {"capture", "FIRST LAST FPS OUTDIR [--music FILE]",
     "play scenes FIRST to LAST as the demo does, headless, at exactly FPS frames a second of music time "
     "however long a frame takes, writing OUTDIR/frame00000.tga ... and OUTDIR/music.wav, the music of the "
     "same time; OUTDIR - writes raw RGB24 frames (640 x 480, rows top first) to stdout and the music to FILE",
     4, Capture, 2},
};

int Usage()
{
    std::fputs("usage: aqtool COMMAND ARGUMENTS...\n\ncommands:\n", stderr);
    for (const Command& command : COMMANDS)
        std::fprintf(stderr, "  %s %s\n      %s\n", command.name, command.arguments, command.summary);
    return EXIT_USAGE;
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
    for (const aqtool::Command& command : aqtool::COMMANDS) {
        if (std::strcmp(argv[1], command.name) != 0)
            continue;
        if (argc - 2 < command.argumentCount || argc - 2 > command.argumentCount + command.optionalCount)
            return aqtool::Usage();
        return command.run(argv + 2);
    }
    return aqtool::Usage();
}
