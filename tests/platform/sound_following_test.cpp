// Following the picture and the device's clock: the delay line that holds the
// music back, with untouched sound while nothing is asked, a move at the
// slew's pace that ends exactly on the target with no jump in the sound, small
// asks let be and a reset at once; and the lead of the device's clock.
#include "platform/sound_clock.h"
#include "platform/sound_delay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace platform {
namespace {

constexpr int RATE = 44100;
constexpr int FRAMES = 6 * RATE;  // longer than any move below takes at 0.4 %
constexpr double AMPLITUDE = 12000, HERTZ = 440;

std::int16_t Tone(int n)
{
    return static_cast<std::int16_t>(std::lround(AMPLITUDE * std::sin(2 * M_PI * HERTZ * n / RATE)));
}

struct Ask {
    const char* what;
    std::int64_t longestUs, targetUs;
    double delayFrames;  // reached at the end
};

TEST(SoundDelay, MovesAtTheSlewsPaceToTheTargetWithoutAJump)
{
    const std::vector<Ask> asks = {
        {"nothing asked", 100000, 0, 0},
        {"less than the dead band", 100000, 800, 0},
        {"10 ms", 100000, 10000, 441},
        {"1.5 ms, past the dead band", 100000, 1500, 66.15},
        {"more than was reserved", 5000, 1000000, 220},
        {"a negative delay", 100000, -5000, 0},
    };
    // The tone's largest step played 0.4 % fast, and the rounding on both sides.
    const int largestStep = static_cast<int>(std::ceil(AMPLITUDE * 2 * M_PI * HERTZ / RATE * 1.004)) + 2;
    for (const Ask& ask : asks) {
        SoundDelay delay;
        ASSERT_TRUE(delay.Reserve(RATE, ask.longestUs));
        delay.Aim(ask.targetUs);
        double before = 0;
        int previous = 0;
        for (int n = 0; n < FRAMES; ++n) {
            std::int16_t frame[2] = {Tone(n), static_cast<std::int16_t>(-Tone(n))};
            delay.Process(frame, 1);
            ASSERT_LE(std::fabs(delay.DelayFrames() - before), 0.004 + 1e-9) << ask.what << ", frame " << n;
            ASSERT_LE(std::abs(frame[0] - previous), largestStep) << ask.what << ", frame " << n;
            ASSERT_EQ(frame[1], -frame[0]) << ask.what << ", frame " << n;
            const bool settled = n > FRAMES - RATE && ask.delayFrames == std::round(ask.delayFrames);
            if (settled) {
                ASSERT_EQ(frame[0], Tone(n - static_cast<int>(ask.delayFrames))) << ask.what << ", frame " << n;
            }
            before = delay.DelayFrames();
            previous = frame[0];
        }
        EXPECT_NEAR(delay.DelayFrames(), ask.delayFrames, 1e-6) << ask.what;
        delay.Reset();
        std::int16_t next[2] = {1234, -1234};
        delay.Process(next, 1);
        EXPECT_EQ(next[0], 1234) << ask.what << ": after a reset";
    }
}

// The device's clock against the counter, over 20 seconds of mixes.
struct Device {
    const char* what;
    double ppmFast;         // how much faster than the counter it takes the mixes
    std::int64_t jitterNs;  // mixes alternately this much late and early
    std::int64_t gapNs;     // silence the device played from the 300th mix
    std::int64_t aheadUs, toleranceUs;
};

TEST(SoundClock, TellsHowFarTheDevicesPaceRanAheadOfTheCounter)
{
    const std::vector<Device> devices = {
        {"in step", 0, 0, 0, 0, 1},
        {"in step, asking unevenly by 3 ms", 0, 3000000, 0, 0, 200},
        {"250 ppm fast, less its first second and a half", 250, 0, 0, 4700, 300},
        {"250 ppm fast, asking unevenly", 250, 3000000, 0, 4700, 400},
        {"a gap of 200 ms silence", 0, 0, 200000000, -200000, 1000},
    };
    constexpr int BUFFER = 1024;
    for (const Device& device : devices) {
        SoundClock clock;
        const double mixNs = 1e9 * BUFFER / RATE / (1 + device.ppmFast * 1e-6);
        clock.Start(0, 1000000000, RATE);
        for (int mix = 0; mix < 20 * RATE / BUFFER; ++mix) {
            const std::int64_t jitter = mix == 0 ? 0 : mix % 2 ? device.jitterNs : -device.jitterNs;
            clock.Mixed(static_cast<std::int64_t>(mix * mixNs) + jitter + (mix >= 300 ? device.gapNs : 0), BUFFER);
        }
        EXPECT_NEAR(clock.AheadMicroseconds(), device.aheadUs, device.toleranceUs) << device.what;
    }
}

}  // namespace
}  // namespace platform
