// What every test program does around its tests, so that one run by hand
// meets what ctest meets: it sets the headless environment itself, and gives
// its tests a temporary directory of its own (TMPDIR, which the processes
// they start inherit), which each test and each suite must leave holding what
// it held. A scratch folder left by a child that ended without its
// destructors fails the test that started it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "tests/support/child_processes.h"

namespace test_support {

namespace {

namespace fs = std::filesystem;

using Entries = std::set<std::string>;

constexpr const char* NO_SOUND_SERVER = "unix:/nonexistent/pulse/native";

// SDL's offscreen video and silent audio, and no display or sound server of
// the user's. Left to choose, SDL tries other drivers first: what they print
// (Wayland's "XDG_RUNTIME_DIR is invalid or not set") lands in the stderr that
// tests compare, and PulseAudio's client leaves a folder in the temporary
// directory. ALSA looks for a PulseAudio server too where PulseAudio is
// installed; told of one that is not there, the client makes no folder.
void UseTheHeadlessEnvironment()
{
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("PULSE_SERVER", NO_SOUND_SERVER, 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
}

Entries EntriesOf(const fs::path& directory)
{
    Entries names;
    std::error_code error;
    for (fs::directory_iterator entry(directory, error), end; !error && entry != end;
         entry.increment(error))
        names.insert(entry->path().filename().string());
    return names;
}

std::string Named(const std::vector<std::string>& names)
{
    std::string list;
    for (const std::string& name : names)
        list += (list.empty() ? "" : ", ") + name;
    return list;
}

// Fails the test or suite that is running when directory does not hold what
// it held. What it left is removed, so that each leak fails once.
void ExpectAsFound(const fs::path& directory, const Entries& found, const char* who)
{
    const Entries now = EntriesOf(directory);
    std::vector<std::string> left, removed;
    std::set_difference(now.begin(), now.end(), found.begin(), found.end(),
                        std::back_inserter(left));
    std::set_difference(found.begin(), found.end(), now.begin(), now.end(),
                        std::back_inserter(removed));
    if (!left.empty()) {
        ADD_FAILURE() << who << " left in the temporary directory " << directory << ": "
                      << Named(left);
    }
    if (!removed.empty()) {
        ADD_FAILURE() << who << " removed from the temporary directory " << directory << ": "
                      << Named(removed);
    }
    std::error_code ignored;
    for (const std::string& name : left)
        fs::remove_all(directory / name, ignored);
}

class TestProgramGuard : public ::testing::EmptyTestEventListener {
    void OnTestProgramStart(const ::testing::UnitTest&) override
    {
        UseTheHeadlessEnvironment();
        std::error_code error;
        const fs::path temporary = fs::temp_directory_path(error);
        std::string pattern = (temporary / "aquarium_test_run_XXXXXX").string();
        if (error || mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "no temporary directory of the test program's own in " << temporary;
            return;
        }
        directory_ = pattern;
        setenv("TMPDIR", pattern.c_str(), 1);
    }

    void OnTestSuiteStart(const ::testing::TestSuite&) override
    {
        suiteFound_ = EntriesOf(directory_);
    }

    void OnTestStart(const ::testing::TestInfo&) override { testFound_ = EntriesOf(directory_); }

    // The children a test left running end first: none may write while it is looked at.
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        EndAllChildren();
        ExpectAsFound(directory_, testFound_, "the test");
    }

    void OnTestSuiteEnd(const ::testing::TestSuite&) override
    {
        ExpectAsFound(directory_, suiteFound_, "the suite");
    }

    // The user's temporary directory stays as it was found.
    void OnTestProgramEnd(const ::testing::UnitTest&) override
    {
        std::error_code ignored;
        if (!directory_.empty())
            fs::remove_all(directory_, ignored);
    }

    fs::path directory_;
    Entries suiteFound_;
    Entries testFound_;
};

const bool guardInstalled = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new TestProgramGuard);
    return true;
}();

}  // namespace

}  // namespace test_support
