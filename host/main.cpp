// The process's entry: the arguments joined with single blanks make the
// demo's command line. A demo whose Aquarium cannot be filled still shows why
// and ends with status 1, like every other failure. A picture size or
// multisampling chosen in the environment that cannot be used stops it
// before anything starts, with status 2.
#include <cstdio>
#include <string>

#include "host/aquarium.h"
#include "host/demo.h"
#include "host/error.h"
#include "platform/picture.h"
#include "platform/platform.h"

namespace {
std::string JoinArguments(int argc, char** argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line += ' ';
        line += argv[i];
    }
    return line;
}

constexpr int USAGE_STATUS = 2;
}  // namespace

int main(int argc, char** argv)
{
    platform::PictureChoice picture;
    std::string refusal;
    if (!platform::ReadPictureChoice(picture, refusal)) {
        std::fprintf(stderr, "aquarium: %s\n", refusal.c_str());
        return USAGE_STATUS;
    }
    platform::SetPictureChoice(picture);
    const std::string commandLine = JoinArguments(argc, argv);
    WinMain(platform::Os().ProgramInstance(), nullptr, commandLine.c_str(), platform::SW_SHOWNORMAL);
    Aquarium::Shutdown(Error::Text());
}
