// aqicon, the icon generator: aqicon OUT.png writes the program's 256 x 256
// icon with its alpha. The same program gives the same bytes on every run.
#include <cstdio>

#include "host/error.h"
#include "tools/datagen/show/icon.h"
#include "tools/writers/pngwriter.h"

namespace {
constexpr int SIDE = 256;
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: aqicon OUT.png\n", stderr);
        return 2;
    }
    if (!PngWriteWithAlpha(argv[1], ShowIcon(SIDE).data(), SIDE, SIDE)) {
        std::fputs(Error::Text(), stderr);
        return 1;
    }
    return 0;
}
