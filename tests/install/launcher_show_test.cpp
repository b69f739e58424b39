// The installed show played as a user plays it, through the launcher on an
// X screen of its own with the 640 x 480 mode and a fresh home: it ends as
// a good show does, with F10's shot in the data folder beside the link to
// the installed archive; an archive of the user's own is played instead,
// and kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/install/installation.h"
#include "tests/support/child_processes.h"
#include "tests/support/demo_shots.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/short_mp3.h"
#include "tests/support/show_archive.h"
#include "tests/support/shutdown_box.h"
#include "tests/support/x_windows.h"
#include "tests/support/xvfb.h"

namespace {

namespace fs = std::filesystem;

class LauncherOnX : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (server_.Display().empty())
            GTEST_SKIP() << "Xvfb did not start";
        ASSERT_TRUE(install_test::InstallInto(prefix_));
    }

    pid_t StartShow(const char* first, const char* last)
    {
        return test_support::StartProgram({prefix_ + "/bin/aquarium-show", first, last},
                                          {{"DISPLAY", server_.Display()},
                                           {"HOME", scratch_.Path() + "/home"},
                                           {"XDG_DATA_HOME", ""},
                                           {"SDL_VIDEODRIVER", "x11"},
                                           {"SDL_AUDIODRIVER", "dummy"}},
                                          "show.err");
    }

    test_support::Xvfb server_{640, 480};
    test_support::ScratchDirectory scratch_;
    const std::string prefix_ = scratch_.Path() + "/prefix";
    const std::string folder_ = scratch_.Path() + "/home/.local/share/aquarium";
};

TEST_F(LauncherOnX, PlaysTheInstalledShowInTheDataFolderAndShootsThere)
{
    const pid_t show = StartShow("3", "3");
    ASSERT_GT(show, 0);
    EXPECT_TRUE(test_support::PressIn(server_.Display(), "Aquarium", "F10"));
    const test_support::Ending ending = test_support::AwaitEnding(show, server_.Display(), "show.err");
    EXPECT_EQ(ending.status, 1);
    EXPECT_FALSE(ending.boxShown);
    EXPECT_EQ(ending.errorText, "");
    EXPECT_EQ(fs::file_size(folder_ + "/shot0.tga"), static_cast<std::uintmax_t>(test_support::SHOT_BYTES));
    EXPECT_TRUE(fs::is_symlink(folder_ + "/dovra.kzp"));
    EXPECT_EQ(fs::read_symlink(folder_ + "/dovra.kzp"), fs::canonical(prefix_ + "/share/aquarium/dovra.kzp"));
}

TEST_F(LauncherOnX, PlaysAnArchiveOfTheUsersOwnAndKeepsIt)
{
    fs::create_directories(folder_);
    test_support::WriteShowArchive(folder_ + "/dovra.kzp", test_support::ShortMp3(2));
    const std::string own = test_support::FileText(folder_ + "/dovra.kzp");
    const pid_t show = StartShow("50", "50");
    ASSERT_GT(show, 0);
    EXPECT_TRUE(test_support::PressIn(server_.Display(), "Aquarium", "F10"));
    EXPECT_TRUE(test_support::ShotWritten(folder_ + "/shot0.tga"));
    EXPECT_TRUE(test_support::ShotIsRed(folder_ + "/shot0.tga")) << "the user's small show is playing";
    EXPECT_TRUE(test_support::PressIn(server_.Display(), "Aquarium", "Escape"));
    const test_support::Ending ending = test_support::AwaitEnding(show, server_.Display(), "show.err");
    EXPECT_EQ(ending.status, 1);
    EXPECT_EQ(ending.errorText, "");
    EXPECT_FALSE(fs::is_symlink(folder_ + "/dovra.kzp"));
    EXPECT_TRUE(test_support::FileText(folder_ + "/dovra.kzp") == own);
}

}  // namespace
