// Where a stretch of the track lies in a recording of it: the lag of the
// highest normalised correlation, to the sample.
#pragma once

#include <cstdint>
#include <vector>

struct Match {
    std::int64_t frame = -1;  // the recording's frame that holds the stretch's first, -1 when none
    double correlation = 0;   // normalised, 1 for the same samples at any level
};

// Looks for track[from, from + length) at recording frames around guess,
// up to reach frames either way.
Match FindInRecording(const std::vector<float>& track, std::int64_t from, std::int64_t length,
                      const std::vector<float>& recording, std::int64_t guess, std::int64_t reach);

// The first frame of the recording from start on louder than level, or -1.
std::int64_t FirstSound(const std::vector<float>& recording, std::int64_t start, float level);

struct Gaps {
    int count = 0;
    double totalMs = 0;
};

// Stretches of recording[from, to) of at least minimumFrames exact zeros: where
// the sound server had nothing to play (the track itself never falls silent
// mid-show), each of which puts the rest of the sound later.
Gaps SilentGaps(const std::vector<float>& recording, std::int64_t from, std::int64_t to, std::int64_t minimumFrames);
