// The build under test installed as a user installs it: cmake --install into
// a prefix inside the test's scratch directory.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/support/aqtool_run.h"

namespace install_test {

// Installs the build into prefix; false, failing the test with cmake's
// reason, when it cannot.
inline bool InstallInto(const std::string& prefix)
{
    const test_support::AqtoolOutcome outcome =
        test_support::RunCommand({CMAKE_COMMAND_PATH, "--install", AQUARIUM_BUILD_DIR, "--prefix", prefix});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    return outcome.status == 0;
}

}  // namespace install_test
