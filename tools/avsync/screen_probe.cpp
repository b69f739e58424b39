// aqscreenprobe DISPLAY SECONDS OUT: what a viewer sees across the middle of
// the screen. Every millisecond for SECONDS, or until it is asked to end, it
// reads a strip of BLOCKS blocks of 32 x 16 pixels centred on the screen from
// the X server and writes a line to OUT whenever a block's mean colour changes:
//   nanoseconds round-trip-nanoseconds then red green blue of every block
// stamped on the monotonic clock halfway through the read (the server shows
// what it was given by the time it answers). The first line is the first read.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <array>
#include <cstdio>
#include <cstdlib>

#include "tools/avsync/probe.h"
#include "tools/avsync/screen_log.h"

namespace {

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;
constexpr int BLOCK_WIDTH = 32;
constexpr int BLOCK_HEIGHT = 16;
constexpr int STRIP_WIDTH = BLOCK_WIDTH * SCREEN_BLOCKS;
constexpr std::int64_t PERIOD_NS = 1000000;

using Sums = std::array<long, 3 * SCREEN_BLOCKS>;  // red, green, blue of each block

long Channel(unsigned long pixel, unsigned long mask)
{
    return static_cast<long>((pixel & mask) >> __builtin_ctzl(mask));
}

Sums SumsOf(XImage* image)
{
    Sums sums{};
    for (int y = 0; y < BLOCK_HEIGHT; ++y) {
        for (int x = 0; x < STRIP_WIDTH; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            long* const block = &sums[3 * (x / BLOCK_WIDTH)];
            block[0] += Channel(pixel, image->red_mask);
            block[1] += Channel(pixel, image->green_mask);
            block[2] += Channel(pixel, image->blue_mask);
        }
    }
    return sums;
}

void Write(FILE* out, std::int64_t before, std::int64_t after, const Sums& sums)
{
    std::fprintf(out, "%lld %lld", static_cast<long long>((before + after) / 2),
                 static_cast<long long>(after - before));
    for (const long sum : sums)
        std::fprintf(out, " %.2f", sum / double(BLOCK_WIDTH * BLOCK_HEIGHT));
    std::fputc('\n', out);
}

int Probe(Display* display, double seconds, FILE* out)
{
    const Window root = DefaultRootWindow(display);
    const int x = DisplayWidth(display, DefaultScreen(display)) / 2 - STRIP_WIDTH / 2;
    const int y = DisplayHeight(display, DefaultScreen(display)) / 2 - BLOCK_HEIGHT / 2;
    const std::int64_t start = MonotonicNanoseconds();
    const std::int64_t end = start + static_cast<std::int64_t>(seconds * 1e9);
    Sums last{};
    last.fill(-1);
    for (std::int64_t tick = start; tick < end && !StopAsked(); tick += PERIOD_NS) {
        SleepUntil(tick);
        const std::int64_t before = MonotonicNanoseconds();
        XImage* const image = XGetImage(display, root, x, y, STRIP_WIDTH, BLOCK_HEIGHT, AllPlanes, ZPixmap);
        const std::int64_t after = MonotonicNanoseconds();
        if (image == nullptr)
            return EXIT_FAILED;
        const Sums sums = SumsOf(image);
        XDestroyImage(image);
        if (sums != last)
            Write(out, before, after, sums);
        last = sums;
    }
    return EXIT_OK;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fputs("usage: aqscreenprobe DISPLAY SECONDS OUT\n", stderr);
        return EXIT_USAGE;
    }
    Display* const display = XOpenDisplay(argv[1]);
    FILE* const out = std::fopen(argv[3], "w");
    if (display == nullptr || out == nullptr) {
        std::fprintf(stderr, "aqscreenprobe: cannot open %s\n", display == nullptr ? argv[1] : argv[3]);
        return EXIT_FAILED;
    }
    StopOnSignals();
    const int status = Probe(display, std::atof(argv[2]), out);
    std::fclose(out);
    XCloseDisplay(display);
    if (status != EXIT_OK)
        std::fputs("aqscreenprobe: the screen could not be read\n", stderr);
    return status;
}
