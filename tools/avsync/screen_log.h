// The screen probe's log: the times at which the middle of the screen took
// new colours, and where the scene changed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Blocks in the probe's strip across the middle of the screen.
constexpr int SCREEN_BLOCKS = 8;

using BlockColours = std::array<double, 3 * SCREEN_BLOCKS>;  // mean red, green, blue of each block

struct ScreenChange {
    double nanoseconds;  // monotonic, halfway through the read that saw it
    BlockColours colours;
    double jump;  // the blocks' mean distance from the colours before, 0 at the first
};

// False when the file cannot be read or holds nothing.
bool LoadScreenLog(const std::string& path, std::vector<ScreenChange>* changes);
// Appends the next change of the log, its jump measured from the last.
void AddScreenChange(double nanoseconds, const BlockColours& colours, std::vector<ScreenChange>* changes);

// The first change within [from, to] nanoseconds to colours of which a block
// is brighter than level (the show's first frame after the black ones), or -1.
std::int64_t FirstPicture(const std::vector<ScreenChange>& changes, double level, double from, double to);

// The change of the largest jump within [from, to] nanoseconds, or -1: a cut
// changes the whole picture, a frame of one scene little of it.
std::int64_t LargestJump(const std::vector<ScreenChange>& changes, double from, double to);
