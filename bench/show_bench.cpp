// The default show measured whole, headless on SDL's offscreen driver with
// Mesa: the start-up's part that grows with the show (the archive opened,
// all 51 scenes loaded and their maps uploaded), the time of a frame in each
// scene (every scene drawn at evenly spaced moments of its own time, passes
// of the demo's own frame loop until the frame is drawn), and the whole
// show captured at 60 frames a second by aqtool capture, beside the 297.4 s
// of music it shows; frames and capture at 640 x 480, at 1440 x 1080 and
// 4-times multisampled.
#include <benchmark/benchmark.h>

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/aquarium.h"
#include "host/error.h"
#include "host/handlers.h"
#include "host/mainloop.h"
#include "host/opengllib.h"
#include "host/scenelists.h"
#include "host/systemobjects.h"
#include "host/timeline.h"
#include "pak/pak.h"
#include "platform/picture.h"
#include "platform/sdl_backend.h"
#include "scene/scenerecords.h"

namespace {

constexpr int FRAMES_PER_SCENE = 40;
const double MUSIC_SECONDS = SCENE_END_TIMES[LAST_SCENE] / 1000.0;
constexpr int CAPTURE_RATE = 60;

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The picture as AQUARIUM_RESOLUTION and AQUARIUM_SAMPLES choose it, as the
// demo takes it.
bool FilledAquarium()
{
    static const bool filled = [] {
        platform::UseOffscreenVideo();
        platform::PictureChoice choice;
        std::string refusal;
        if (!platform::ReadPictureChoice(choice, refusal))
            return false;
        platform::SetPictureChoice(choice);
        Demo::RequestDemoMode();
        return gAquarium.FillOpenGL(SWIM_LIST, LIGHT_LIST, POLYGON_LIST, platform::Os().ProgramInstance());
    }();
    return filled;
}

// The show as the start-up loads it: every scene in its lists. Loaded once.
bool LoadedShow()
{
    static bool loaded = false;
    if (loaded)
        return true;
    if (PAK::Open(SHOW_ARCHIVE) == nullptr)
        return false;
    for (std::int32_t i = 0; i < SCENE_COUNT; ++i) {
        gSceneObjects[i] = new Scene;
        if (!Demo::LoadScene(gSceneObjects[i], SCENE_TABLE[i], i == 0, gObjectLists[i], gLightLists[i]))
            return false;
    }
    loaded = true;
    return true;
}

void BM_StartUp(benchmark::State& state)
{
    if (!FilledAquarium()) {
        state.SkipWithError(Error::Text());
        return;
    }
    for (auto _ : state) {
        if (!LoadedShow())
            state.SkipWithError(Error::Text());
    }
}

// Milliseconds one pass of scene's frame loop takes when the scene has played
// time ms. The swap is left out: on the offscreen driver it scales the frame
// onto a desktop nobody sees, which says nothing of the demo's own work.
double FrameTime(std::int32_t scene, std::uint32_t time)
{
    gBufferSwap.active = 0;
    gAquarium.currentObjectList = gObjectLists[scene];
    gAquarium.currentLightList = gLightLists[scene];
    gSceneObjects[scene]->startTime = gAquarium.currentTime - time;
    const Clock::time_point start = Clock::now();
    Mainloop onePass(&gAquarium, false);
    onePass.Feed();
    OpenGLLib::glFinish();
    return MillisecondsSince(start);
}

double SceneFrameTime(std::int32_t scene)
{
    const std::uint32_t length = SCENE_END_TIMES[scene] - (scene > 0 ? SCENE_END_TIMES[scene - 1] : 0);
    double total = 0.0;
    for (int frame = 0; frame < FRAMES_PER_SCENE; ++frame)
        total += FrameTime(scene, length * frame / FRAMES_PER_SCENE);
    return total / FRAMES_PER_SCENE;
}

// Frame times of every scene in this process's picture.
void BM_SceneFramesHere(benchmark::State& state)
{
    if (!FilledAquarium() || !LoadedShow()) {
        state.SkipWithError(Error::Text());
        return;
    }
    std::vector<double> times(SCENE_COUNT);
    for (auto _ : state) {
        for (std::int32_t scene = 0; scene < SCENE_COUNT; ++scene)
            times[scene] = SceneFrameTime(scene);
    }
    const auto slowest = std::max_element(times.begin(), times.end());
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    state.counters["slowest_ms"] = *slowest;
    state.counters["slowest_scene"] = static_cast<double>(slowest - times.begin());
    state.counters["median_ms"] = sorted[SCENE_COUNT / 2];
    for (std::int32_t scene = 0; scene < SCENE_COUNT; ++scene)
        std::fprintf(stderr, "scene %2d: %6.2f ms a frame\n", scene, times[scene]);
}

// The pictures measured side by side: the design's, a large one, multisampled.
struct Picture {
    const char* name;
    const char* resolution;  // AQUARIUM_RESOLUTION, empty for the design's
    const char* samples;     // AQUARIUM_SAMPLES, empty for none
};

const Picture PICTURES[] = {{"640x480", "", ""}, {"1440x1080", "1440x1080", ""}, {"640x480x4", "", "4"}};

// A counter's value in Google Benchmark's JSON output, 0 when missing.
double Counter(const std::string& json, const std::string& name)
{
    const std::size_t at = json.find("\"" + name + "\": ");
    return at == std::string::npos ? 0.0 : std::atof(json.c_str() + at + name.size() + 4);
}

// BM_SceneFramesHere in a process of its own with the picture chosen, since
// one process fills its Aquarium once; its counters are this one's.
void BM_SceneFrames(benchmark::State& state)
{
    const Picture& picture = PICTURES[state.range(0)];
    state.SetLabel(picture.name);
    const std::string out = std::string(SHOW_ARCHIVE) + "." + picture.name + ".json";
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string command = std::string("AQUARIUM_RESOLUTION='") + picture.resolution + "' AQUARIUM_SAMPLES='" +
                                picture.samples + "' '" + self + "' --benchmark_filter='^BM_SceneFramesHere/' " +
                                "--benchmark_out='" + out + "' --benchmark_out_format=json >/dev/null";
    for (auto _ : state) {
        const int status = std::system(command.c_str());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("the measuring process failed");
    }
    std::ifstream in(out);
    const std::string json((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char* name : {"slowest_ms", "slowest_scene", "median_ms"})
        state.counters[name] = Counter(json, name);
}

// aqtool capture of the whole show at 60 frames a second, its frames thrown away.
void BM_CaptureShow(benchmark::State& state)
{
    const Picture& picture = PICTURES[state.range(0)];
    state.SetLabel(picture.name);
    std::string options;
    if (picture.resolution[0] != '\0')
        options += std::string(" --size ") + picture.resolution;
    if (picture.samples[0] != '\0')
        options += std::string(" --samples ") + picture.samples;
    const std::string folder = std::string(SHOW_ARCHIVE).substr(0, std::string(SHOW_ARCHIVE).rfind('/'));
    const std::string command = "cd '" + folder + "' && '" + AQTOOL_PATH + "' capture 0 50 " +
                                std::to_string(CAPTURE_RATE) + " - --music /dev/null" + options +
                                " >/dev/null 2>capture_bench.err";
    double seconds = 0.0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const int status = std::system(command.c_str());
        seconds = MillisecondsSince(start) / 1000.0;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError(("the capture failed; see " + folder + "/capture_bench.err").c_str());
    }
    state.counters["show_s"] = MUSIC_SECONDS;
    state.counters["times_real_time"] = MUSIC_SECONDS / seconds;
}

}  // namespace

BENCHMARK(BM_StartUp)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SceneFramesHere)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SceneFrames)->DenseRange(0, 2)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CaptureShow)->DenseRange(0, 2)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

BENCHMARK_MAIN();
