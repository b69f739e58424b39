// The installed launcher, aquarium-show, with a stand-in for the demo that
// records where it was started and with what: it plays in the user's data
// folder wherever XDG_DATA_HOME leaves it, passing its arguments on as they
// came, at the desktop's size unless the user chose one; it links the
// installed show there (also from a prefix moved after installing, and from
// the games folder the Debian package puts it in), replacing a link an older
// installation left, and keeps an archive of the user's own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/install/installation.h"
#include "tests/support/child_processes.h"
#include "tests/support/scratch_directory.h"

namespace {

namespace fs = std::filesystem;
using test_support::FileText;

constexpr int PATIENCE_MS = 30000;
// Records its working directory and each argument, one a line, in ./record,
// and the picture's size it was asked for in ./resolution.
constexpr const char* STAND_IN = "#!/bin/sh\n{ pwd -P; for a in \"$@\"; do echo \"[$a]\"; done; } > \"$RECORD\"\n"
                                 "printf %s \"${AQUARIUM_RESOLUTION-unset}\" > resolution\n";
const std::vector<std::string> ARGUMENTS = {"20", "two words", ""};

class Launcher : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(install_test::InstallInto(prefix_));
        std::ofstream(prefix_ + "/bin/aquarium") << STAND_IN;
    }

    // Runs the launcher in prefix's programs folder with ARGUMENTS and
    // XDG_DATA_HOME (unset when null); true when the stand-in ran in folder
    // with them, with no message.
    bool PlaysIn(const std::string& folder, const char* dataHome = nullptr, const std::string& prefix = "",
                 const std::string& programs = "bin")
    {
        std::vector<std::string> command = {"/usr/bin/env"};
        if (dataHome != nullptr)
            command.push_back(std::string("XDG_DATA_HOME=") + dataHome);
        command.push_back((prefix.empty() ? prefix_ : prefix) + "/" + programs + "/aquarium-show");
        command.insert(command.end(), ARGUMENTS.begin(), ARGUMENTS.end());
        const pid_t launcher = test_support::StartProgram(
            command, {{"HOME", scratch_.Path() + "/home"}, {"XDG_DATA_HOME", ""}, {"RECORD", scratch_.Path() + "/record"}},
            "launcher.err");
        std::string record = fs::weakly_canonical(folder).string() + "\n";
        for (const std::string& argument : ARGUMENTS)
            record += "[" + argument + "]\n";
        return test_support::AwaitChild(launcher, PATIENCE_MS) == 0 && FileText("record") == record &&
               FileText("launcher.err").empty();
    }

    test_support::ScratchDirectory scratch_;
    const std::string prefix_ = scratch_.Path() + "/prefix";
    const std::string folder_ = scratch_.Path() + "/home/.local/share/aquarium";
};

bool LinksTo(const std::string& link, const std::string& target)
{
    return fs::is_symlink(link) && fs::read_symlink(link) == fs::canonical(target);
}

TEST_F(Launcher, PlaysInTheDataFolderWhereverXdgDataHomeLeavesIt)
{
    const std::string absolute = scratch_.Path() + "/xdg";
    const std::pair<const char*, std::string> cases[] = {
        {nullptr, folder_}, {"", folder_}, {"relative/data", folder_},  // the XDG rule ignores a relative one
        {absolute.c_str(), absolute + "/aquarium"},
    };
    for (const auto& [dataHome, folder] : cases) {
        const std::string name = dataHome == nullptr ? "unset" : dataHome;
        fs::remove_all(folder);
        EXPECT_TRUE(PlaysIn(folder, dataHome)) << name;
        EXPECT_TRUE(LinksTo(folder + "/dovra.kzp", prefix_ + "/share/aquarium/dovra.kzp")) << name;
    }
    EXPECT_FALSE(fs::exists("relative")) << "a relative XDG_DATA_HOME makes nothing";
}

TEST_F(Launcher, ReplacesALinkAnOlderInstallationLeftAndKeepsTheUsersOwnArchive)
{
    const std::string older = scratch_.Path() + "/older.kzp";
    std::ofstream(older) << "an older installation's show";
    fs::create_directories(folder_);
    fs::create_symlink(older, folder_ + "/dovra.kzp");
    EXPECT_TRUE(PlaysIn(folder_));
    EXPECT_TRUE(LinksTo(folder_ + "/dovra.kzp", prefix_ + "/share/aquarium/dovra.kzp"));

    fs::remove(folder_ + "/dovra.kzp");
    std::ofstream(folder_ + "/dovra.kzp") << "the user's own show";
    EXPECT_TRUE(PlaysIn(folder_));
    EXPECT_FALSE(fs::is_symlink(folder_ + "/dovra.kzp"));
    EXPECT_EQ(FileText(folder_ + "/dovra.kzp"), "the user's own show");
}

TEST_F(Launcher, FindsTheShowOfAPrefixMovedAfterInstalling)
{
    const std::string moved = scratch_.Path() + "/moved";
    fs::rename(prefix_, moved);
    EXPECT_TRUE(PlaysIn(folder_, nullptr, moved));
    EXPECT_TRUE(LinksTo(folder_ + "/dovra.kzp", moved + "/share/aquarium/dovra.kzp"));
}

TEST_F(Launcher, StartsTheDemoBesideItInTheGamesFolderAsTheDebianPackageHasIt)
{
    fs::rename(prefix_ + "/bin", prefix_ + "/games");
    EXPECT_TRUE(PlaysIn(folder_, nullptr, "", "games"));
    EXPECT_TRUE(LinksTo(folder_ + "/dovra.kzp", prefix_ + "/share/aquarium/dovra.kzp"));
}

TEST_F(Launcher, PlaysAtTheDesktopsSizeUnlessTheUserChoseOne)
{
    const std::pair<const char*, const char*> cases[] = {  // AQUARIUM_RESOLUTION, unset when null; the demo's
        {nullptr, "native"}, {"", "native"}, {"640x480", "640x480"}};
    for (const auto& [chosen, played] : cases) {
        std::vector<std::string> command = {prefix_ + "/bin/aquarium-show"};
        if (chosen != nullptr)
            command.insert(command.begin(), {"/usr/bin/env", std::string("AQUARIUM_RESOLUTION=") + chosen});
        const pid_t launcher = test_support::StartProgram(command,
                                                          {{"HOME", scratch_.Path() + "/home"},
                                                           {"XDG_DATA_HOME", ""},
                                                           {"AQUARIUM_RESOLUTION", ""},
                                                           {"RECORD", scratch_.Path() + "/record"}},
                                                          "launcher.err");
        EXPECT_EQ(test_support::AwaitChild(launcher, PATIENCE_MS), 0);
        EXPECT_EQ(FileText(folder_ + "/resolution"), played) << (chosen == nullptr ? "unset" : chosen);
    }
}

}  // namespace
