// aqtool capture records the demo frame-exact: the same range twice gives the
// same bytes, a frame is what aqtool render draws at that frame's time, the
// music is the track's own samples for exactly the frames' time, and a scene
// switch lands on the frame the timeline says. What it cannot do ends with a
// status and a message, never a hang.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/timeline.h"
#include "tests/capture/capture_show.h"
#include "tests/support/aqtool_run.h"
#include "tests/support/scratch_directory.h"
#include "tools/audio/mp3decode.h"
#include "tools/writers/wavwriter.h"

namespace {

using test_support::Aqtool;
using test_support::AqtoolOutcome;
using ::testing::EndsWith;
using ::testing::HasSubstr;

constexpr std::size_t WIDTH = 640, HEIGHT = 480, FRAME_BYTES = WIDTH * HEIGHT * 3;
constexpr std::size_t TGA_HEADER = 18;
constexpr std::uint32_t FPS = 7;            // frame times fall between the milliseconds
constexpr int FIRST = 4, LAST = 5;          // 3.2 s red, then 2.2 s green
constexpr std::uint32_t FRAMES = 38;        // ceil(5400 ms * 7 / 1000)

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string FrameName(int frame)
{
    char name[32];
    std::snprintf(name, sizeof name, "out/frame%05d.tga", frame);
    return name;
}

// Red, green, blue of the pixel at the centre row, 80 pixels from the left: inside the
// wall in every frame of either scene.
std::string MarkerColour(const std::string& raw, std::size_t frame)
{
    const std::size_t at = frame * FRAME_BYTES + (HEIGHT / 2 * WIDTH + 80) * 3;
    const auto on = [&](int channel) { return raw[at + channel] != 0 ? "1" : "0"; };
    return std::string(on(0)) + on(1) + on(2);
}

class CaptureCommand : public ::testing::Test {
protected:
    void SetUp() override { capture_test::WriteCaptureShow("dovra.kzp"); }

    AqtoolOutcome CaptureRaw(const char* music = "music.wav")
    {
        return Aqtool({"capture", std::to_string(FIRST), std::to_string(LAST), std::to_string(FPS), "-",
                       "--music", music});
    }

    test_support::ScratchDirectory scratch_;
};

TEST_F(CaptureCommand, TwoCapturesOfOneRangeAreTheSameBytesInFilesAndOnStdout)
{
    const AqtoolOutcome first = CaptureRaw("first.wav");
    const AqtoolOutcome second = CaptureRaw("second.wav");
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_EQ(first.out.size(), FRAMES * FRAME_BYTES);
    EXPECT_TRUE(first.out == second.out);
    EXPECT_EQ(ReadFile("first.wav"), ReadFile("second.wav"));
    EXPECT_THAT(first.err, HasSubstr("capture: 38 frames at 7 frames/s (5.429 s of music from 48000 ms) in "));

    // The files hold the same frames, bottom row first and blue first as TGA keeps them.
    ASSERT_EQ(Aqtool({"capture", "4", "5", "7", "out"}).status, 0);
    EXPECT_EQ(ReadFile("out/music.wav"), ReadFile("first.wav"));
    for (int frame : {0, 22, 23, 37}) {
        const std::string tga = ReadFile(FrameName(frame));
        ASSERT_EQ(tga.size(), TGA_HEADER + FRAME_BYTES);
        const std::size_t top = frame * FRAME_BYTES, bottomInFile = TGA_HEADER + (HEIGHT - 1) * WIDTH * 3;
        for (std::size_t x : {0u, 100u, 639u})
            for (int channel = 0; channel < 3; ++channel)
                EXPECT_EQ(first.out[top + x * 3 + channel], tga[bottomInFile + x * 3 + 2 - channel]);
    }
    EXPECT_FALSE(std::filesystem::exists(FrameName(FRAMES)));
}

TEST_F(CaptureCommand, AFrameIsWhatRenderDrawsOfItsSceneAtItsTime)
{
    ASSERT_EQ(Aqtool({"capture", "4", "5", "7", "out"}).status, 0);
    struct Case {
        int frame;
        int scene;
        std::uint32_t time;  // into the scene: floor(frame * 1000 / 7), less the scenes before it
    };
    for (const Case& c : {Case{0, 4, 0}, Case{10, 4, 1428}, Case{22, 4, 3142}, Case{23, 5, 85}, Case{30, 5, 1085},
                          Case{37, 5, 2085}}) {
        SCOPED_TRACE(c.frame);
        ASSERT_EQ(Aqtool({"render", SCENE_TABLE[c.scene], std::to_string(c.time), "render.tga"}).status, 0);
        EXPECT_TRUE(ReadFile("render.tga") == ReadFile(FrameName(c.frame)));
    }
}

TEST_F(CaptureCommand, TheMusicIsTheTracksOwnSamplesForExactlyTheFramesTime)
{
    ASSERT_EQ(CaptureRaw().status, 0);
    const std::string wav = ReadFile("music.wav");
    const std::string header = wav.substr(0, WAV_HEADER_SIZE);
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(wav.size() - WAV_HEADER_SIZE);
    const auto expected = WavHeader(dataBytes, 44100, 2);
    EXPECT_TRUE(std::memcmp(header.data(), expected.data(), WAV_HEADER_SIZE) == 0);
    const double frames = dataBytes / 4.0;
    EXPECT_NEAR(frames, FRAMES * 44100.0 / FPS, 1.0);

    DecodedTrack track;
    ASSERT_TRUE(DecodeMp3(capture_test::Track().data(), capture_test::Track().size(), &track));
    const std::size_t start = 48000 * 44100 / 1000;
    ASSERT_GE(track.pcm.Frames(), start + frames);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < dataBytes / 2; ++i) {
        std::int16_t sample;
        std::memcpy(&sample, wav.data() + WAV_HEADER_SIZE + 2 * i, 2);
        differing += sample != static_cast<std::int16_t>(track.pcm.samples[start * 2 + i] * 32768.0f);
    }
    EXPECT_EQ(differing, 0u);
}

TEST_F(CaptureCommand, TheSceneSwitchesOnTheFirstFrameWhoseClockReachesTheSceneEnd)
{
    const AqtoolOutcome outcome = CaptureRaw();
    ASSERT_EQ(outcome.status, 0);
    const std::uint32_t sceneLength = SCENE_END_TIMES[FIRST] - SCENE_END_TIMES[FIRST - 1];
    for (std::uint32_t frame = 0; frame < FRAMES; ++frame) {
        SCOPED_TRACE(frame);
        const bool nextScene = frame * 1000 / FPS >= sceneLength;  // first at frame 23, 3285 ms
        EXPECT_EQ(MarkerColour(outcome.out, frame), nextScene ? "010" : "100");
    }
}

TEST_F(CaptureCommand, ArgumentsItCannotUseAreRefusedBeforeAnythingIsWritten)
{
    const std::vector<std::vector<std::string>> refused = {
        {"5", "4", "7", "out"},   {"51", "51", "7", "out"}, {"-1", "4", "7", "out"}, {"4", "x", "7", "out"},
        {"4", "5", "0", "out"},   {"4", "5", "1001", "out"}, {"4", "5", "7.5", "out"}, {"4", "5", "7", "-"},
        {"4", "5", "7", "out", "--sound", "m.wav"},           {"4", "5", "7", "out", "--music"},
        {"4", "5", "7", "out", "--size", "1920x1080"},        {"4", "5", "7", "out", "--size", "160x120"},
        {"4", "5", "7", "out", "--samples", "0"},             {"4", "5", "7", "out", "--size"},
    };
    for (std::vector<std::string> arguments : refused) {
        SCOPED_TRACE(arguments[0] + " " + arguments[1] + " " + arguments[2] + " " + arguments[3]);
        arguments.insert(arguments.begin(), "capture");
        EXPECT_EQ(Aqtool(arguments).status, 2);
        EXPECT_FALSE(std::filesystem::exists("out"));
    }
}

TEST_F(CaptureCommand, ASizeItCannotUseIsNamedAsItWasGiven)
{
    const AqtoolOutcome outcome = Aqtool({"capture", "4", "5", "7", "out", "--size", "1024x767"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err, "aqtool capture: --size: '1024x767' is not a 4:3 size from 320x240 to 8192x6144\n");
}

// At another size the frames are that size, on stdout and in files, and show
// the same scene at the same moments: the wall's colour at the same place.
TEST_F(CaptureCommand, FramesOfAChosenSizeAndMultisamplingShowTheSameShow)
{
    constexpr std::size_t SMALL_WIDTH = 320, SMALL_HEIGHT = 240, SMALL_BYTES = SMALL_WIDTH * SMALL_HEIGHT * 3;
    const AqtoolOutcome small = Aqtool({"capture", "4", "5", "7", "-", "--music", "m.wav", "--size", "320x240",
                                        "--samples", "4"});
    ASSERT_EQ(small.status, 0) << small.err;
    ASSERT_EQ(small.out.size(), FRAMES * SMALL_BYTES);
    const AqtoolOutcome usual = CaptureRaw();
    ASSERT_EQ(usual.status, 0);
    for (std::size_t frame = 0; frame < FRAMES; ++frame) {
        const std::size_t at = frame * SMALL_BYTES + (SMALL_HEIGHT / 2 * SMALL_WIDTH + 40) * 3;
        const auto on = [&](int channel) { return small.out[at + channel] != 0 ? "1" : "0"; };
        EXPECT_EQ(std::string(on(0)) + on(1) + on(2), MarkerColour(usual.out, frame)) << frame;
    }
    ASSERT_EQ(Aqtool({"capture", "4", "4", "2", "out", "--size", "320x240"}).status, 0);
    EXPECT_EQ(ReadFile(FrameName(0)).size(), TGA_HEADER + SMALL_BYTES);
}

TEST_F(CaptureCommand, FailuresEndWithStatusOneAndSayWhy)
{
    std::filesystem::remove("dovra.kzp");
    AqtoolOutcome outcome = Aqtool({"capture", "4", "5", "7", "out"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_THAT(outcome.err, HasSubstr("Game::SetupSound: FMOD error File not found\n"));
    EXPECT_THAT(outcome.err, EndsWith("capture: stopped after 0 of 38 frames\n"));

    std::ofstream("file") << "not a folder";
    outcome = Aqtool({"capture", "4", "5", "7", "file/out"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_THAT(outcome.err, EndsWith("aqtool capture: Cannot make the folder (file/out)\n"));
}

TEST_F(CaptureCommand, AReaderThatGoesAwayEndsTheCaptureWithStatusOne)
{
    const std::string command = "(" + test_support::ShellQuote(AQTOOL_PATH) +
                                " capture 4 5 7 - --music m.wav 2>err; echo $? >status) | head -c 1000 >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadFile("status"), "1\n");
    EXPECT_THAT(ReadFile("err"), HasSubstr("aqtool capture: Error writing to standard output\n"
                                           "aqtool capture: Error writing a frame\n"));
}

}  // namespace
