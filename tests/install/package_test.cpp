// The Debian package as cpack makes it from the build, into a scratch folder:
// lintian finds nothing wrong in it; its Depends name the packages that
// provide the libraries the programs link and the GL and GLU libraries the
// demo opens at run time, and nothing else; it holds the files an
// installation holds, under /usr with the demo and its launcher in
// /usr/games, and lintian's note on aqtool; its changelog's latest entry is
// its version, signed by its maintainer.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "tests/install/installation.h"
#include "tests/support/scratch_directory.h"

namespace {

namespace fs = std::filesystem;
using test_support::AqtoolOutcome;
using test_support::RunCommand;

// The libraries the demo opens with dlopen, by the names it opens them.
const char* const OPENED_AT_RUN_TIME[] = {"libGL.so.1", "libGLU.so.1"};

class DebianPackage : public ::testing::Test {
protected:
    void SetUp() override
    {
        const test_support::AqtoolOutcome made = RunCommand({CPACK_COMMAND_PATH, "-G", "DEB", "-B", scratch_.Path() + "/out",
                                                             "--config", AQUARIUM_BUILD_DIR "/CPackConfig.cmake"});
        ASSERT_EQ(made.status, 0) << made.out << made.err;
        for (const fs::directory_entry& file : fs::directory_iterator(scratch_.Path() + "/out"))
            package_ = file.path().extension() == ".deb" ? file.path().string() : package_;
        ASSERT_FALSE(package_.empty()) << "cpack made a .deb";
    }

    test_support::ScratchDirectory scratch_;
    std::string package_;
};

// Every first group of pattern in text.
std::set<std::string> Matches(const std::string& text, const std::string& pattern)
{
    std::set<std::string> found;
    const std::regex expression(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), expression); it != std::sregex_iterator(); ++it)
        found.insert((*it)[1]);
    return found;
}

// The installed package that provides the library soname for this machine's architecture.
std::string Provider(const std::string& soname)
{
    static const std::string multiarch = *Matches(RunCommand({"gcc", "-print-multiarch"}).out, R"((\S+))").begin();
    const test_support::AqtoolOutcome found = RunCommand({"dpkg", "-S", "*/" + multiarch + "/" + soname});
    EXPECT_EQ(found.status, 0) << soname << ": " << found.err;
    return found.out.substr(0, found.out.find_first_of(":,"));
}

TEST_F(DebianPackage, DependsNameWhatTheProgramsLinkAndTheDemoOpensAndNothingElse)
{
    std::set<std::string> providers;
    for (const char* program : {AQUARIUM_PATH, AQTOOL_PATH}) {
        for (const std::string& library : Matches(RunCommand({"readelf", "-d", program}).out, R"(\(NEEDED\).*\[(.+)\])"))
            providers.insert(Provider(library));
    }
    for (const char* library : OPENED_AT_RUN_TIME)
        providers.insert(Provider(library));
    EXPECT_GE(providers.size(), 8u) << "the libraries were found";
    const std::string depends = RunCommand({"dpkg-deb", "-f", package_, "Depends"}).out;
    std::set<std::string> named;
    std::istringstream clauses(depends);
    for (std::string clause; std::getline(clauses, clause, ',');) {
        const std::set<std::string> alternatives = Matches(clause, R"(([a-z0-9][a-z0-9+.-]+)(\s*\([^)]*\))?)");
        bool needed = false;
        for (const std::string& name : alternatives)
            needed = needed || providers.count(name) != 0;
        EXPECT_TRUE(needed) << clause << " is not needed, in: " << depends;
        named.insert(alternatives.begin(), alternatives.end());
    }
    for (const std::string& provider : providers)
        EXPECT_EQ(named.count(provider), 1u) << provider << " is missing from: " << depends;
}

// Debian's checker, which prints a line for every error and warning it finds.
// It leaves a cache file in its temporary directory: the scratch folder's.
TEST_F(DebianPackage, LintianFindsNoErrorAndNoWarning)
{
    const AqtoolOutcome checked =
        RunCommand({"env", "TMPDIR=" + scratch_.Path(), "lintian", "--fail-on", "error,warning", package_});
    EXPECT_EQ(checked.status, 0) << checked.err;
    EXPECT_EQ(checked.out, "");
}

TEST_F(DebianPackage, HoldsTheFilesAnInstallationHoldsUnderUsrWithTheDemoInGames)
{
    // Each file as "path" or "path executable".
    std::set<std::string> packaged;
    std::istringstream listing(RunCommand({"dpkg-deb", "-c", package_}).out);
    for (std::string line; std::getline(listing, line);) {
        if (line[0] == '-')  // a file, its owner's execute bit fourth
            packaged.insert(line.substr(line.find(" ./usr/") + 7) + (line[3] == 'x' ? " executable" : ""));
    }
    const std::string prefix = scratch_.Path() + "/prefix";
    ASSERT_TRUE(install_test::InstallInto(prefix));
    std::set<std::string> installed;
    for (const fs::directory_entry& file : fs::recursive_directory_iterator(prefix)) {
        const bool executable = (file.status().permissions() & fs::perms::owner_exec) != fs::perms::none;
        std::string path = fs::relative(file.path(), prefix).string();
        if (path == "bin/aquarium" || path == "bin/aquarium-show")
            path.replace(0, 3, "games");
        if (!file.is_directory())
            installed.insert(path + (executable ? " executable" : ""));
    }
    installed.insert("share/lintian/overrides/aquarium");
    EXPECT_EQ(packaged, installed);
}

TEST_F(DebianPackage, ItsChangelogsLatestEntryIsItsVersionSignedByItsMaintainer)
{
    const std::string unpacked = "dpkg-deb --fsys-tarfile \"$0\" | tar -xO ./usr/share/doc/aquarium/changelog.gz | zcat";
    const std::string changelog = RunCommand({"sh", "-c", unpacked, package_}).out;
    std::smatch latest;
    ASSERT_TRUE(std::regex_search(changelog, latest, std::regex(R"(^aquarium \(([^)]+)\)[^]*?\n -- (.+?)  )")));
    EXPECT_EQ(latest[1].str() + "\n", RunCommand({"dpkg-deb", "-f", package_, "Version"}).out);
    EXPECT_EQ(latest[2].str() + "\n", RunCommand({"dpkg-deb", "-f", package_, "Maintainer"}).out);
}

}  // namespace
