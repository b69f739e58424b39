// The picture's latency is one and a half frame periods: the period of the
// frames that run, else the display's refresh when swaps wait for it, else
// the last swap's own length; swaps far apart (the black frames around the
// loading) are not frames that run.
#include "platform/frame_timing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace platform {
namespace {

constexpr std::int64_t FREQUENCY = 1000000;  // one tick per microsecond

struct Swap {
    std::int64_t start, end;
};

struct Case {
    const char* what;
    std::vector<Swap> swaps;
    std::int64_t refreshUs;  // when swaps wait for the display's refresh
    std::int64_t latencyUs;
};

TEST(FrameTiming, IsOneAndAHalfFramePeriodsOfWhatTheSwapsSoFarTell)
{
    const std::vector<Case> cases = {
        {"nothing shown yet", {}, 16666, 0},
        {"frames every 7.5 ms", {{0, 5500}, {7500, 13000}, {15000, 20500}, {22500, 28000}, {30000, 35500}}, 0, 11250},
        {"frames every 7.5 ms, swapping on a refresh", {{0, 5500}, {7500, 13000}, {15000, 20500}, {22500, 28000},
         {30000, 35500}}, 16666, 11250},
        {"two black frames a second apart, synced to 60 Hz", {{0, 2000}, {1000000, 1001000}}, 16666, 24999},
        {"two black frames a second apart, swapping at once", {{0, 2000}, {1000000, 1001000}}, 0, 1500},
        {"frames that stopped for loading", {{0, 5000}, {7000, 12000}, {14000, 19000}, {500000, 505000},
         {507000, 512000}}, 0, 7500},
    };
    for (const Case& c : cases) {
        FrameTiming timing;
        for (const Swap& swap : c.swaps)
            timing.Swapped(swap.start, swap.end);
        EXPECT_EQ(timing.LatencyMicroseconds(FREQUENCY, c.refreshUs), c.latencyUs) << c.what;
    }
}

}  // namespace
}  // namespace platform
