// Setting up the music: the silent fall-back, the one three-piece message for
// every failure with the library's error name, the track handed over whole
// from the disk fall-back, the close run at shutdown; and the real library
// refusing what is not an MP3.
#include "host/sound.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "host/aquarium.h"
#include "host/error.h"
#include "pak/pak.h"
#include "platform/fake_backend.h"
#include "platform/fake_music.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/short_mp3.h"

namespace {

const std::string OPEN_CALL = "Stream_OpenFile 40960 ";
const std::vector<std::string> DEVICE_INIT = {"SetOutput 2", "Init 44100 32 0"};
const std::vector<std::string> SILENT_INIT = {"SetOutput 0", "Init 44100 32 0"};

void WriteMusicFile(const std::vector<std::uint8_t>& bytes)
{
    std::ofstream("themusic.mp3", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> Joined(std::vector<std::string> first, const std::vector<std::string>& rest)
{
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

class SetupSound : public ::testing::Test {
protected:
    void SetUp() override
    {
        PAK::CloseAll();
        Error::Reset();
        gMusicStream = nullptr;
    }

    test_support::ScratchDirectory scratch;
    platform::ScopedFakeMusic music;
};

TEST_F(SetupSound, FallsBackToNoOutputSilentlyAndOpensTheWholeFile)
{
    const std::vector<std::uint8_t> bytes = {0xFF, 0xFB, 0x90, 0x00, 1, 2, 3};
    WriteMusicFile(bytes);
    music.fake.initResults = {false, true};
    EXPECT_TRUE(Game::SetupSound());
    EXPECT_STREQ(Error::Text(), "");
    EXPECT_EQ(music.fake.log, Joined(Joined(DEVICE_INIT, SILENT_INIT), {OPEN_CALL + "7"}));
    EXPECT_EQ(music.fake.opened, bytes);
    EXPECT_EQ(gMusicStream, platform::FakeMusic::Stream());
}

TEST_F(SetupSound, StaysOnTheDeviceWhenItOpens)
{
    WriteMusicFile({1, 2});
    EXPECT_TRUE(Game::SetupSound());
    EXPECT_EQ(music.fake.log, Joined(DEVICE_INIT, {OPEN_CALL + "2"}));
}

TEST_F(SetupSound, BothOutputsFailingReportsTheLibrarysReasonAndOpensNothing)
{
    WriteMusicFile({1, 2});
    music.fake.initResults = {false, false};
    music.fake.error = platform::FSOUND_ERR_INIT;
    EXPECT_FALSE(Game::SetupSound());
    EXPECT_STREQ(Error::Text(), "Game::SetupSound: FMOD error Error initializing output device.\n");
    EXPECT_EQ(music.fake.log, Joined(Joined(DEVICE_INIT, SILENT_INIT), {"GetError"}));
}

TEST_F(SetupSound, AMissingTrackIsHandedOverAsNothingAndNamedByTheLibrary)
{
    music.fake.openSucceeds = false;
    music.fake.error = platform::FSOUND_ERR_FILE_NOTFOUND;
    EXPECT_FALSE(Game::SetupSound());
    EXPECT_TRUE(music.fake.openedNull);
    EXPECT_EQ(music.fake.log, Joined(DEVICE_INIT, {OPEN_CALL + "0", "GetError"}));
    EXPECT_STREQ(Error::Text(),
                 "PAK::ReadFile: File not found. (themusic.mp3)\n"
                 "PAK::FileSize: File not found.(themusic.mp3)\n"
                 "Game::SetupSound: FMOD error File not found\n");
    EXPECT_EQ(gMusicStream, nullptr);
}

// Every code the library may answer, named in the one message.
TEST_F(SetupSound, NamesEveryErrorCodeAndCallsTheRestUnknown)
{
    const char* const names[] = {
        "No errors",
        "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
        "This command failed because FSOUND_Init was not called",
        "Error initializing output device.",
        "The output device is already in use and cannot be reused.",
        "Playing the sound failed.",
        "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
        "Error setting cooperative level for hardware.",
        "Error creating hardware sound buffer.",
        "File not found",
        "Unknown file format",
        "Error loading file",
        "Not enough memory ",
        "The version number of this file format is not supported",
        "An invalid parameter was passed to this function",
        "Tried to use an EAX command on a non EAX enabled channel or output.",
        "Tried to use an advanced EAX2 command on a non EAX2 enabled channel or output",
        "Failed to allocate a new channel",
        "Recording is not supported on this machine",
        "Windows Media Player not installed so cant play wma or use internet streaming.",
        "Unknown error",
        "Unknown error",
    };
    const int codes = sizeof names / sizeof names[0];
    for (int code = 0; code < codes; ++code) {
        const int asked = code == codes - 1 ? -1 : code;
        Error::Reset();
        music.fake.initResults = {false, false};
        music.fake.error = asked;
        EXPECT_FALSE(Game::SetupSound());
        EXPECT_EQ(Error::Text(), std::string("Game::SetupSound: FMOD error ") + names[code] + "\n")
            << "code " << asked;
    }
}

// The real library on SDL's silent driver, with a loose file in place of the archive.
class SetupSoundOnTheRealLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        PAK::CloseAll();
        Error::Reset();
    }
    void TearDown() override { platform::FSOUND_Close(); }

    test_support::ScratchDirectory scratch;
};

TEST_F(SetupSoundOnTheRealLibrary, OpensAnMp3AndRefusesText)
{
    WriteMusicFile(test_support::ShortMp3(1));
    EXPECT_TRUE(Game::SetupSound()) << Error::Text();
    EXPECT_NE(gMusicStream, nullptr);
    platform::FSOUND_Close();

    const std::string text = "this is not music";
    WriteMusicFile(std::vector<std::uint8_t>(text.begin(), text.end()));
    EXPECT_FALSE(Game::SetupSound());
    EXPECT_STREQ(Error::Text(), "Game::SetupSound: FMOD error Unknown file format\n");
}

// Inside a death test's child: the close announces itself.
class AnnouncingMusic : public platform::FakeMusic {
public:
    void Close() override { std::fputs("FSOUND_Close ran\n", stderr); }
};

void SetUpThenShutDown()
{
    static AnnouncingMusic music;
    static platform::FakeBackend os;
    platform::InstallMusic(&music);
    platform::Install(&os);
    WriteMusicFile({1, 2});
    if (Game::SetupSound())
        std::fputs("set up\n", stderr);
    Aquarium::Shutdown("");
}

TEST(SetupSoundDeathTest, RegistersTheLibrarysCloseForShutdown)
{
    test_support::ScratchDirectory scratch;
    EXPECT_EXIT(SetUpThenShutDown(), ::testing::ExitedWithCode(1), "^set up\nFSOUND_Close ran\n$");
}

}  // namespace
