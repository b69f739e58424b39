// A test program that ctest never runs: the harness's tests (tests/harness)
// run it as a developer would, and each of its tests does one thing the
// harness must meet.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "tests/support/scratch_directory.h"

namespace {

TEST(Probe, SaysItsEnvironment)
{
    for (const char* name :
         {"SDL_VIDEODRIVER", "SDL_AUDIODRIVER", "DISPLAY", "WAYLAND_DISPLAY", "TMPDIR"}) {
        const char* const value = getenv(name);
        std::printf("%s=%s\n", name, value != nullptr ? value : "(unset)");
    }
}

TEST(Probe, CleansUpAfterItself)
{
    test_support::ScratchDirectory scratch;
    std::ofstream("kept.txt") << "a file in the scratch folder";
}

// The fault the harness guards against: a scratch folder made in a child that
// ends without its destructors.
TEST(Probe, LeavesAFolderFromADeathTestsChild)
{
    EXPECT_EXIT(
        {
            test_support::ScratchDirectory scratch;
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

class SuiteProbe : public ::testing::Test {
protected:
    static void SetUpTestSuite() { new test_support::ScratchDirectory; }  // never given back
};

TEST_F(SuiteProbe, LeavesAFolderForTheWholeSuite) {}

}  // namespace
