// What every test program does around its tests (tests/support/test_program.cpp),
// met through the probe program run as a developer runs one by hand, in an
// environment of a desktop's: it runs headless all the same, and a test or
// suite that leaves anything in the temporary directory fails naming it,
// while the directory is left as it was found.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/aqtool_run.h"
#include "tests/support/scratch_directory.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class TestProgram : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(std::filesystem::create_directory(temporary_)); }

    test_support::AqtoolOutcome RunProbe(const std::string& filter) const
    {
        return test_support::RunCommand({"/usr/bin/env", "-u", "XDG_RUNTIME_DIR", "DISPLAY=:99",
                                         "WAYLAND_DISPLAY=wayland-9", "SDL_VIDEODRIVER=x11",
                                         "SDL_AUDIODRIVER=pulseaudio", "TMPDIR=" + temporary_,
                                         HARNESS_PROBE_PATH, "--gtest_filter=" + filter});
    }

    bool TemporaryIsEmpty() const { return std::filesystem::is_empty(temporary_); }

    test_support::ScratchDirectory scratch_;
    const std::string temporary_ = scratch_.Path() + "/temporary";
};

TEST_F(TestProgram, RunsHeadlessWhateverEnvironmentItWasStartedIn)
{
    const test_support::AqtoolOutcome probe = RunProbe("Probe.SaysItsEnvironment");
    EXPECT_EQ(probe.status, 0) << probe.out;
    EXPECT_THAT(probe.out,
                HasSubstr("SDL_VIDEODRIVER=offscreen\nSDL_AUDIODRIVER=dummy\nDISPLAY=(unset)\n"
                          "WAYLAND_DISPLAY=(unset)\nTMPDIR=" +
                          temporary_ + "/aquarium_test_run_"));
    EXPECT_TRUE(TemporaryIsEmpty());
}

TEST_F(TestProgram, WhatATestOrSuiteLeavesInTheTemporaryDirectoryFailsItAndIsRemoved)
{
    struct Case {
        const char* filter;
        int status;
        const char* failure;  // how the failure begins; empty for a pass
    };
    const Case cases[] = {
        {"Probe.CleansUpAfterItself", 0, ""},
        {"Probe.LeavesAFolderFromADeathTestsChild", 1, "the test left in the temporary directory "},
        {"SuiteProbe.*", 1, "the suite left in the temporary directory "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        const test_support::AqtoolOutcome probe = RunProbe(c.filter);
        EXPECT_EQ(probe.status, c.status) << probe.out;
        if (c.status == 0) {
            EXPECT_THAT(probe.out, Not(HasSubstr("the temporary directory")));
        } else {
            EXPECT_THAT(probe.out, HasSubstr(std::string(c.failure) + '"' + temporary_ +
                                             "/aquarium_test_run_"));
            EXPECT_THAT(probe.out, HasSubstr("\": aquarium_test_"))
                << "the scratch folder is named";
        }
        EXPECT_TRUE(TemporaryIsEmpty());
    }
}

}  // namespace
