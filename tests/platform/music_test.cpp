// The real music library on SDL's silent driver: an MP3 opened from memory
// and started where it was positioned, and the last-error code of every way a
// call can be refused.
#include "platform/music.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/short_mp3.h"

namespace platform {
namespace {

constexpr int MIX_RATE = 44100;
constexpr int CHANNELS = 32;
constexpr std::uint32_t MEMORY_MODE = FSOUND_LOADMEMORY | FSOUND_2D;

class RealMusic : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_SILENT));
        ASSERT_TRUE(FSOUND_Init(MIX_RATE, CHANNELS, 0)) << FSOUND_GetError();
    }
    void TearDown() override { FSOUND_Close(); }

    MusicStream* Open(const std::vector<std::uint8_t>& bytes)
    {
        return FSOUND_Stream_OpenFile(reinterpret_cast<const char*>(bytes.data()), MEMORY_MODE,
                                      static_cast<int>(bytes.size()));
    }
};

TEST_F(RealMusic, StartsPlayingWhereTheStreamWasPositioned)
{
    const std::vector<std::uint8_t> track = test_support::ShortMp3(10);
    MusicStream* const stream = Open(track);
    ASSERT_NE(stream, nullptr) << FSOUND_GetError();
    EXPECT_TRUE(FSOUND_Stream_SetTime(stream, 2500));
    EXPECT_EQ(FSOUND_Stream_Play(0, stream), 0);
    // Unpositioned, decoding would stand near 0; the track is far longer than a stall.
    const int position = FSOUND_Stream_GetTime(stream);
    EXPECT_GE(position, 2500);
    EXPECT_LT(position, 10000);
    EXPECT_TRUE(FSOUND_Stream_SetTime(stream, 7000)) << "positions while playing too";
    EXPECT_GE(FSOUND_Stream_GetTime(stream), 7000);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_NONE);
}

// What a preview asks of it: a held stream stays where it is, a stopped one
// plays again from where it is put, and a closed one is gone.
TEST_F(RealMusic, HoldsStopsAndClosesAStreamAsAPreviewMovesThroughItsShow)
{
    const std::vector<std::uint8_t> track = test_support::ShortMp3(10);
    MusicStream* const stream = Open(track);
    ASSERT_NE(stream, nullptr) << FSOUND_GetError();
    ASSERT_EQ(FSOUND_Stream_Play(0, stream), 0);
    EXPECT_TRUE(FSOUND_SetPaused(0, true));
    const int held = FSOUND_Stream_GetTime(stream);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(FSOUND_Stream_GetTime(stream), held) << "held, nothing more is decoded";
    EXPECT_TRUE(FSOUND_SetPaused(0, false));
    EXPECT_FALSE(FSOUND_SetPaused(1, true)) << "nothing plays on channel 1";
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);

    EXPECT_TRUE(FSOUND_Stream_Stop(stream));
    EXPECT_TRUE(FSOUND_Stream_SetTime(stream, 6000));
    EXPECT_EQ(FSOUND_Stream_GetTime(stream), 6000) << "stopped, it stands where the next play begins";
    ASSERT_EQ(FSOUND_Stream_Play(0, stream), 0);
    EXPECT_GE(FSOUND_Stream_GetTime(stream), 6000);

    EXPECT_TRUE(FSOUND_Stream_Close(stream));
    EXPECT_FALSE(FSOUND_SetPaused(0, true)) << "nothing plays once the stream is closed";
    EXPECT_FALSE(FSOUND_Stream_SetTime(stream, 0));
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);
    EXPECT_NE(Open(track), nullptr) << "the library goes on";
}

TEST_F(RealMusic, OpensATrackBehindAnId3Tag)
{
    const std::vector<std::uint8_t> track = test_support::ShortMp3(1);
    std::vector<std::uint8_t> tagged = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0};
    tagged.insert(tagged.end(), track.begin(), track.end());
    EXPECT_NE(Open(tagged), nullptr) << FSOUND_GetError();
}

struct Refusal {
    const char* what;
    std::vector<std::uint8_t> bytes;
    bool null;
    std::uint32_t mode;
    int code;
};

TEST_F(RealMusic, RefusesWhatItCannotPlayWithTheMatchingCode)
{
    const std::string text = "RIFF....WAVEfmt this is not an MP3";
    const std::vector<Refusal> refusals = {
        {"null data", {}, true, MEMORY_MODE, FSOUND_ERR_FILE_NOTFOUND},
        {"no bytes", {}, false, MEMORY_MODE, FSOUND_ERR_FILE_BAD},
        {"not an MP3", std::vector<std::uint8_t>(text.begin(), text.end()), false, MEMORY_MODE,
         FSOUND_ERR_FILE_FORMAT},
        {"a tag and nothing else", {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 0}, false, MEMORY_MODE, FSOUND_ERR_FILE_FORMAT},
        {"a frame header and noise", {0xFF, 0xFB, 0x90, 0x00, 9, 9, 9, 9}, false, MEMORY_MODE, FSOUND_ERR_FILE_BAD},
        {"a file name, not bytes", test_support::ShortMp3(1), false, FSOUND_2D, FSOUND_ERR_INVALID_PARAM},
    };
    for (const Refusal& refusal : refusals) {
        // An empty vector has no storage; "no bytes" points at some with length 0.
        const char* const data = refusal.null            ? nullptr
                                 : refusal.bytes.empty() ? text.c_str()
                                                         : reinterpret_cast<const char*>(refusal.bytes.data());
        EXPECT_EQ(FSOUND_Stream_OpenFile(data, refusal.mode, static_cast<int>(refusal.bytes.size())), nullptr)
            << refusal.what;
        EXPECT_EQ(FSOUND_GetError(), refusal.code) << refusal.what;
    }
}

TEST_F(RealMusic, RefusesSetUpTwiceAndStreamsAfterClose)
{
    EXPECT_FALSE(FSOUND_SetOutput(FSOUND_OUTPUT_DEVICE));
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_BUSY);
    EXPECT_FALSE(FSOUND_Init(MIX_RATE, CHANNELS, 0));
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_BUSY);

    const std::vector<std::uint8_t> track = test_support::ShortMp3(1);
    MusicStream* const stream = Open(track);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(FSOUND_Stream_Play(CHANNELS, stream), -1);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);
    EXPECT_FALSE(FSOUND_Stream_SetTime(nullptr, 0));
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);

    FSOUND_Close();
    EXPECT_EQ(Open(track), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_UNINITIALIZED);
    EXPECT_EQ(FSOUND_Stream_Play(0, stream), -1);
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_UNINITIALIZED);
    EXPECT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_DEVICE)) << "closed, the output may change again";
    EXPECT_FALSE(FSOUND_SetOutput(1));
    EXPECT_EQ(FSOUND_GetError(), FSOUND_ERR_INVALID_PARAM);
}

}  // namespace
}  // namespace platform
