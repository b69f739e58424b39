// aqtool speed: how fast the demo draws each scene of the show headless, over
// passes spread evenly across its slot, with the slowest scene and the median.
// A frame's processor time counts every thread (Mesa draws on several), so on
// a busy machine it tells more than the wall clock does.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdlib.h>
#include <ctime>
#include <vector>

#include "host/error.h"
#include "tools/aqtool/commands.h"
#include "tools/aqtool/demo_archive.h"
#include "tools/aqtool/render_frame.h"
#include "tools/aqtool/scene_slot.h"

namespace aqtool {

namespace {

constexpr int DEFAULT_PASSES = 120;
constexpr char WINDOW_CHOICE[] = "AQUARIUM_WINDOW";
constexpr int MOST_PASSES = 100000;

struct SceneSpeed {
    int scene = 0;
    double framesPerSecond = 0.0;
    double processorMs = 0.0;  // processor time a frame, all threads
};

// Scene i drawn passes times across its slot, each pass waited for but not
// read back (the demo reads nothing back); false (reported) on failure.
bool Measure(int scene, int passes, SceneSpeed& speed)
{
    SceneFrames frames;
    if (!frames.Load(SCENE_TABLE[scene]) || !frames.Render(0, nullptr))
        return false;
    const auto wallStart = std::chrono::steady_clock::now();
    const std::clock_t processorStart = std::clock();
    for (int pass = 0; pass < passes; ++pass) {
        if (!frames.Render(static_cast<std::uint32_t>(static_cast<double>(SlotLength(scene)) * pass / passes), nullptr))
            return false;
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double processor = static_cast<double>(std::clock() - processorStart) / CLOCKS_PER_SEC;
    speed = {scene, passes / wall, 1000.0 * processor / passes};
    return true;
}

bool ParsePasses(const char* text, int& passes)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > MOST_PASSES) {
        std::fprintf(stderr, "aqtool speed: FRAMES is a whole number from 1 to %d: %s\n", MOST_PASSES, text);
        return false;
    }
    passes = static_cast<int>(value);
    return true;
}

void PrintSummary(std::vector<SceneSpeed> speeds)
{
    std::sort(speeds.begin(), speeds.end(),
              [](const SceneSpeed& a, const SceneSpeed& b) { return a.framesPerSecond < b.framesPerSecond; });
    const SceneSpeed& slowest = speeds.front();
    const std::size_t n = speeds.size();
    const double median = n % 2 == 1 ? speeds[n / 2].framesPerSecond
                                     : 0.5 * (speeds[n / 2 - 1].framesPerSecond + speeds[n / 2].framesPerSecond);
    std::printf("slowest: scene %d at %.1f frames per second; median %.1f frames per second\n", slowest.scene,
                slowest.framesPerSecond, median);
}

}  // namespace

int Speed(char* const* arguments)
{
    int passes = DEFAULT_PASSES;
    if (arguments[0] != nullptr && (arguments[1] != nullptr || !ParsePasses(arguments[0], passes))) {
        std::fputs("usage: aqtool speed [FRAMES]\n", stderr);
        return EXIT_USAGE;
    }
    // A 640 x 480 window unless the user chose otherwise: the demo's frame,
    // without the scaling onto the desktop that a full-screen display adds.
    setenv(WINDOW_CHOICE, "1", 0);
    if (!OpenDemoArchive() || !FillDemoAquarium(ModeSwitch::AS_THE_DEMO))
        return Fail();
    std::vector<SceneSpeed> speeds;
    bool measured = true;
    for (int scene = 0; scene < SCENE_COUNT && measured; ++scene) {
        SceneSpeed speed;
        measured = Measure(scene, passes, speed);
        if (measured) {
            speeds.push_back(speed);
            std::printf("scene %2d: %6.1f frames per second, %5.2f ms of processor time a frame\n", scene,
                        speed.framesPerSecond, speed.processorMs);
            std::fflush(stdout);
        }
    }
    EmptyDemoAquarium();
    if (!measured)
        return Fail();
    PrintSummary(speeds);
    return EXIT_OK;
}

}  // namespace aqtool
