// What every test program does around its tests, so that one run by hand
// meets what ctest meets: it sets the headless environment itself.
#include <gtest/gtest.h>
#include <stdlib.h>

namespace test_support {

namespace {

// SDL's offscreen video and silent audio, and no display of the user's.
// Left to choose, SDL tries other drivers first: what they print (Wayland's
// "XDG_RUNTIME_DIR is invalid or not set") lands in the stderr that tests
// compare, and PulseAudio's client leaves a folder in the temporary directory.
void UseTheHeadlessEnvironment()
{
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
}

class TestProgramGuard : public ::testing::EmptyTestEventListener {
    void OnTestProgramStart(const ::testing::UnitTest&) override { UseTheHeadlessEnvironment(); }
};

const bool guardInstalled = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new TestProgramGuard);
    return true;
}();

}  // namespace

}  // namespace test_support
