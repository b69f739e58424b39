// Reading the screen probe's log.
#include "tools/avsync/screen_log.h"

#include <cmath>
#include <cstdio>

namespace {

double Distance(const BlockColours& a, const BlockColours& b)
{
    double sum = 0;
    for (int block = 0; block < SCREEN_BLOCKS; ++block) {
        double squares = 0;
        for (int channel = 0; channel < 3; ++channel) {
            const double d = a[3 * block + channel] - b[3 * block + channel];
            squares += d * d;
        }
        sum += std::sqrt(squares);
    }
    return sum / SCREEN_BLOCKS;
}

bool ReadLine(FILE* file, double* nanoseconds, BlockColours* colours)
{
    double roundTrip = 0;
    if (std::fscanf(file, "%lf %lf", nanoseconds, &roundTrip) != 2)
        return false;
    for (double& value : *colours) {
        if (std::fscanf(file, "%lf", &value) != 1)
            return false;
    }
    return true;
}

}  // namespace

bool LoadScreenLog(const std::string& path, std::vector<ScreenChange>* changes)
{
    FILE* const file = std::fopen(path.c_str(), "r");
    if (file == nullptr)
        return false;
    double nanoseconds = 0;
    BlockColours colours{};
    while (ReadLine(file, &nanoseconds, &colours))
        AddScreenChange(nanoseconds, colours, changes);
    std::fclose(file);
    return !changes->empty();
}

void AddScreenChange(double nanoseconds, const BlockColours& colours, std::vector<ScreenChange>* changes)
{
    const double jump = changes->empty() ? 0 : Distance(colours, changes->back().colours);
    changes->push_back({nanoseconds, colours, jump});
}

std::int64_t FirstPicture(const std::vector<ScreenChange>& changes, double level, double from, double to)
{
    for (std::size_t i = 0; i < changes.size(); ++i) {
        if (changes[i].nanoseconds < from || changes[i].nanoseconds > to)
            continue;
        for (int block = 0; block < SCREEN_BLOCKS; ++block) {
            const double* const colour = &changes[i].colours[3 * block];
            if (colour[0] + colour[1] + colour[2] > level)
                return static_cast<std::int64_t>(i);
        }
    }
    return -1;
}

std::int64_t LargestJump(const std::vector<ScreenChange>& changes, double from, double to)
{
    std::int64_t best = -1;
    for (std::size_t i = 1; i < changes.size(); ++i) {
        if (changes[i].nanoseconds >= from && changes[i].nanoseconds <= to &&
            (best < 0 || changes[i].jump > changes[best].jump))
            best = static_cast<std::int64_t>(i);
    }
    return best;
}
