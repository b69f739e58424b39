// The installed launcher, aquarium-show, with a stand-in for the demo that
// records where it was started and with what: it plays in the user's data
// folder wherever XDG_DATA_HOME leaves it, links the installed show there
// (also from a prefix moved after installing), keeps an archive of the
// user's own, replaces a link an older installation left, and passes its
// arguments on as they came.
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
// Records its working directory and each argument, one a line, in $RECORD.
constexpr const char* STAND_IN =
    "#!/bin/sh\n"
    "{ pwd -P; for argument in \"$@\"; do echo \"[$argument]\"; done; } > \"$RECORD\"\n";

class Launcher : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(install_test::InstallInto(prefix_));
        std::ofstream(prefix_ + "/bin/aquarium") << STAND_IN;
        fs::create_directories(home_);
    }

    // Runs prefix's launcher with arguments, XDG_DATA_HOME set to dataHome
    // (unset when null); its status.
    int Launch(const std::string& prefix, const char* dataHome, const std::vector<std::string>& arguments = {})
    {
        std::vector<std::string> command = {"/usr/bin/env"};
        if (dataHome != nullptr)
            command.push_back(std::string("XDG_DATA_HOME=") + dataHome);
        command.push_back(prefix + "/bin/aquarium-show");
        command.insert(command.end(), arguments.begin(), arguments.end());
        const pid_t launcher = test_support::StartProgram(
            command, {{"HOME", home_}, {"XDG_DATA_HOME", ""}, {"RECORD", scratch_.Path() + "/record"}}, "launcher.err");
        return test_support::AwaitChild(launcher, PATIENCE_MS);
    }

    std::string DataFolder() const { return home_ + "/.local/share/aquarium"; }

    test_support::ScratchDirectory scratch_;
    const std::string prefix_ = scratch_.Path() + "/prefix";
    const std::string home_ = scratch_.Path() + "/home";
};

// Where the demo ran, and with what.
std::string Record(const std::string& folder, const std::vector<std::string>& arguments)
{
    std::string record = fs::canonical(folder).string() + "\n";
    for (const std::string& argument : arguments)
        record += "[" + argument + "]\n";
    return record;
}

bool LinksTo(const std::string& link, const std::string& target)
{
    return fs::is_symlink(link) && fs::read_symlink(link) == fs::canonical(target);
}

TEST_F(Launcher, PlaysInTheDataFolderWhereverXdgDataHomeLeavesIt)
{
    struct Case {
        const char* xdgDataHome;  // null leaves it unset; a leading @ stands for the scratch directory
        const char* folder;       // under the scratch directory
    };
    const Case cases[] = {
        {nullptr, "home/.local/share/aquarium"},
        {"", "home/.local/share/aquarium"},
        {"relative/data", "home/.local/share/aquarium"},  // ignored, as the XDG rule says
        {"@/xdg", "xdg/aquarium"},
    };
    for (const Case& c : cases) {
        const std::string name = c.xdgDataHome == nullptr ? "unset" : c.xdgDataHome;
        std::string dataHome = c.xdgDataHome == nullptr ? "" : c.xdgDataHome;
        if (dataHome.rfind('@', 0) == 0)
            dataHome = scratch_.Path() + dataHome.substr(1);
        const std::string folder = scratch_.Path() + "/" + c.folder;
        fs::remove_all(folder);
        EXPECT_EQ(Launch(prefix_, c.xdgDataHome == nullptr ? nullptr : dataHome.c_str(), {"3", "3"}), 0) << name;
        EXPECT_EQ(FileText("record"), Record(folder, {"3", "3"})) << name;
        EXPECT_TRUE(LinksTo(folder + "/dovra.kzp", prefix_ + "/share/aquarium/dovra.kzp")) << name;
        EXPECT_EQ(FileText("launcher.err"), "") << name;
    }
    EXPECT_FALSE(fs::exists("relative")) << "a relative XDG_DATA_HOME makes nothing";
}

TEST_F(Launcher, PassesArgumentsOnAsTheyCame)
{
    EXPECT_EQ(Launch(prefix_, nullptr, {"20", "two words", ""}), 0);
    EXPECT_EQ(FileText("record"), Record(DataFolder(), {"20", "two words", ""}));
}

TEST_F(Launcher, KeepsAnArchiveOfTheUsersOwn)
{
    fs::create_directories(DataFolder());
    std::ofstream(DataFolder() + "/dovra.kzp") << "the user's own show";
    EXPECT_EQ(Launch(prefix_, nullptr), 0);
    EXPECT_FALSE(fs::is_symlink(DataFolder() + "/dovra.kzp"));
    EXPECT_EQ(FileText(DataFolder() + "/dovra.kzp"), "the user's own show");
}

TEST_F(Launcher, ReplacesTheLinkAnOlderInstallationLeft)
{
    const std::string older = scratch_.Path() + "/older/share/aquarium";
    fs::create_directories(older);
    std::ofstream(older + "/dovra.kzp") << "an older show";
    fs::create_directories(DataFolder());
    fs::create_symlink(older + "/dovra.kzp", DataFolder() + "/dovra.kzp");
    EXPECT_EQ(Launch(prefix_, nullptr), 0);
    EXPECT_TRUE(LinksTo(DataFolder() + "/dovra.kzp", prefix_ + "/share/aquarium/dovra.kzp"));
}

TEST_F(Launcher, FindsTheShowOfAPrefixMovedAfterInstalling)
{
    const std::string moved = scratch_.Path() + "/moved";
    fs::rename(prefix_, moved);
    EXPECT_EQ(Launch(moved, nullptr, {"7"}), 0);
    EXPECT_EQ(FileText("record"), Record(DataFolder(), {"7"}));
    EXPECT_TRUE(LinksTo(DataFolder() + "/dovra.kzp", moved + "/share/aquarium/dovra.kzp"));
}

}  // namespace
