// An installation into a scratch prefix holds what a user's menu, shell and
// man look for: the programs and the launcher, the show the build made, a
// desktop entry that validates and starts the launcher with the icon, the
// icon itself, manual pages that render without a warning and say what the
// README and the programs say, and a copyright file with the project's
// licence.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/install/installation.h"
#include "tests/support/child_processes.h"
#include "tests/support/scratch_directory.h"

namespace {

namespace fs = std::filesystem;
using test_support::FileText;
using test_support::RunCommand;

constexpr const char* DESKTOP_ENTRY = "share/applications/aquarium.desktop";
constexpr const char* ICON = "share/icons/hicolor/256x256/apps/aquarium.png";
constexpr const char* DEMO_PAGE = "share/man/man6/aquarium.6.gz";
constexpr const char* LAUNCHER_PAGE = "share/man/man6/aquarium-show.6.gz";
constexpr const char* TOOL_PAGE = "share/man/man1/aqtool.1.gz";
constexpr const char* COPYRIGHT = "share/doc/aquarium/copyright";

class InstalledFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(install_test::InstallInto(prefix_)); }

    std::string At(const std::string& relative) const { return prefix_ + "/" + relative; }

    test_support::ScratchDirectory scratch_;
    const std::string prefix_ = scratch_.Path() + "/prefix";
};

// A page as man renders it for a reader, which it must do without a
// warning; its blanks run together so that phrases read across line breaks.
std::string Rendered(const std::string& page)
{
    const test_support::AqtoolOutcome outcome = RunCommand({"man", "--warnings", "-l", page});
    EXPECT_EQ(outcome.status, 0) << page;
    EXPECT_EQ(outcome.err, "") << page;
    return std::regex_replace(outcome.out, std::regex(R"(\s+)"), " ");
}

TEST_F(InstalledFiles, EveryFileStandsWhereTheShellTheMenuAndManLookForIt)
{
    const std::pair<const char*, bool> files[] = {  // and whether it is executable
        {"bin/aquarium", true}, {"bin/aqtool", true}, {"bin/aquarium-show", true}, {"share/aquarium/dovra.kzp", false},
        {DESKTOP_ENTRY, false}, {ICON, false},        {DEMO_PAGE, false},          {LAUNCHER_PAGE, false},
        {TOOL_PAGE, false},     {COPYRIGHT, false},   {"share/doc/aquarium/changelog.gz", false},
    };
    for (const auto& [path, executable] : files) {
        EXPECT_TRUE(fs::is_regular_file(At(path))) << path;
        EXPECT_EQ(access(At(path).c_str(), X_OK) == 0, executable) << path;
    }
    EXPECT_TRUE(FileText(At("share/aquarium/dovra.kzp")) == FileText(AQUARIUM_BUILD_DIR "/dovra.kzp"))
        << "the installed show is the one the build made";
}

TEST_F(InstalledFiles, TheDesktopEntryValidatesAndStartsTheLauncherWithTheIcon)
{
    const test_support::AqtoolOutcome check = RunCommand({"desktop-file-validate", At(DESKTOP_ENTRY)});
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out + check.err, "") << "no error, warning or hint";
    const std::string entry = FileText(At(DESKTOP_ENTRY));
    std::smatch exec, icon;
    ASSERT_TRUE(std::regex_search(entry, exec, std::regex(R"(\nExec=(\S+))")));
    ASSERT_TRUE(std::regex_search(entry, icon, std::regex(R"(\nIcon=(\S+))")));
    EXPECT_EQ(exec[1], "aquarium-show");
    EXPECT_EQ(At("share/icons/hicolor/256x256/apps/" + icon[1].str() + ".png"), At(ICON));
}

// The icon as a menu shows it: 256 x 256 with alpha, the corners around the
// tile clear, the tile opaque, and the red craft on it.
TEST_F(InstalledFiles, TheIconIsATileWithClearCornersAndTheRedCraft)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&image, At(ICON).c_str()), 0) << image.message;
    EXPECT_EQ(image.width, 256u);
    EXPECT_EQ(image.height, 256u);
    EXPECT_NE(image.format & PNG_FORMAT_FLAG_ALPHA, 0u) << "the file has an alpha channel";
    image.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    ASSERT_NE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr), 0) << image.message;
    const auto pixel = [&](int x, int y) { return &pixels[(static_cast<std::size_t>(y) * 256 + x) * 4]; };
    for (const auto& [x, y] : {std::pair{0, 0}, {255, 0}, {0, 255}, {255, 255}})
        EXPECT_EQ(pixel(x, y)[3], 0) << "corner " << x << ", " << y;
    EXPECT_EQ(pixel(128, 40)[3], 255) << "the tile";
    int red = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x)
            red += pixel(x, y)[3] == 255 && pixel(x, y)[0] > 2 * pixel(x, y)[1] && pixel(x, y)[0] > 100;
    }
    EXPECT_GT(red, 256 * 256 / 50) << "the craft's red paint";
}

// Every AQUARIUM_ variable the README names or the demo's code reads.
std::set<std::string> DemoVariables()
{
    std::string texts = FileText(AQUARIUM_SOURCE_DIR "/README.md");
    for (const char* folder : {"/host", "/platform"}) {
        for (const fs::directory_entry& file : fs::directory_iterator(AQUARIUM_SOURCE_DIR + std::string(folder)))
            texts += FileText(file.path().string());
    }
    std::set<std::string> names;
    const std::regex name(R"(AQUARIUM_[A-Z_]+)");
    for (auto it = std::sregex_iterator(texts.begin(), texts.end(), name); it != std::sregex_iterator(); ++it)
        names.insert(it->str());
    return names;
}

TEST_F(InstalledFiles, TheDemosPageRendersAndSaysWhatTheReadmeAndTheDemoSay)
{
    const std::string page = Rendered(At(DEMO_PAGE));
    const std::set<std::string> variables = DemoVariables();
    EXPECT_EQ(variables.count("AQUARIUM_WINDOW"), 1u) << "the variables were found";
    for (const std::string& variable : variables)
        EXPECT_NE(page.find(variable), std::string::npos) << variable;
    for (const char* said : {"aquarium [FIRST [LAST]]", "from 0 to 50", "Escape ends the show", "F10 saves",
                             "shot0.tga", "always ends with status 1", "Aquarium Shutdown", "error text",
                             "dovra.kzp in the working directory", "loose file", "SDL_VIDEODRIVER",
                             "SDL_AUDIODRIVER", "aquarium-show(6) chooses native unless the user has set it"})
        EXPECT_NE(page.find(said), std::string::npos) << said;
}

TEST_F(InstalledFiles, TheLaunchersPageRendersAndSaysWhereAndAtWhatSizeItPlays)
{
    const std::string page = Rendered(At(LAUNCHER_PAGE));
    for (const char* said : {"aquarium-show [FIRST [LAST]]", "from 0 to 50", "XDG_DATA_HOME", "~/.local/share/aquarium",
                             "Unset or empty, the launcher plays at native", "AQUARIUM_RESOLUTION=640x480 aquarium-show",
                             "/usr/games/aquarium-show", "the demo beside it", "../share/aquarium"})
        EXPECT_NE(page.find(said), std::string::npos) << said;
}

// The copyright file's paragraph of the project's licence is LICENSE as the
// file format indents it, under the same copyright line.
TEST_F(InstalledFiles, TheCopyrightFileGivesTheProjectsLicenceAsLicenseHasIt)
{
    const std::string licence = FileText(AQUARIUM_SOURCE_DIR "/LICENSE");
    const std::string copyright = FileText(At(COPYRIGHT));
    std::smatch holder;
    ASSERT_TRUE(std::regex_search(licence, holder, std::regex(R"(\nCopyright \(c\) (.+)\n)")));
    EXPECT_NE(copyright.find("Files: *\nCopyright: " + holder[1].str() + "\nLicense: Expat\n"), std::string::npos);
    const std::string terms = licence.substr(licence.find("Permission"));
    const std::string indented = std::regex_replace(std::regex_replace(terms, std::regex("\n\n"), "\n.\n"),
                                                    std::regex("(^|\n)(.)"), "$1 $2");
    EXPECT_NE(copyright.find("\nLicense: Expat\n" + indented), std::string::npos);
}

// The commands as aqtool lists them: each "  NAME ARGUMENTS" line of its help.
std::vector<std::string> AqtoolCommands(const std::string& aqtool)
{
    const test_support::AqtoolOutcome help = RunCommand({aqtool, "--help"});
    EXPECT_EQ(help.status, 0);
    std::vector<std::string> commands;
    std::istringstream lines(help.out);
    std::smatch match;
    for (std::string line; std::getline(lines, line);) {
        if (std::regex_match(line, match, std::regex(R"(  ([a-z-]+)( .*)?)")))
            commands.push_back(match[1]);
    }
    return commands;
}

TEST_F(InstalledFiles, TheToolsPageRendersAndDescribesEveryCommandItHas)
{
    const std::string page = Rendered(At(TOOL_PAGE));
    const std::string commands = page.substr(page.find(" COMMANDS "), page.find(" EXIT STATUS ") - page.find(" COMMANDS "));
    const std::vector<std::string> names = AqtoolCommands(At("bin/aqtool"));
    EXPECT_GE(names.size(), 10u) << "the help was read";
    for (const std::string& name : names)
        EXPECT_TRUE(std::regex_search(commands, std::regex(" " + name + "\\s+[A-Z\\[]"))) << name;
}

}  // namespace
