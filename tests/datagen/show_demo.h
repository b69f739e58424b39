// The show the build made, opened for the tests that load its scenes as the
// demo does: the archive opened (again, if another test closed the archives)
// and the Aquarium filled as the demo fills it, once per test program; the
// error text then starts afresh.
#pragma once

#include <gtest/gtest.h>

#include "host/error.h"
#include "pak/pak.h"
#include "tools/aqtool/render_frame.h"

namespace show_test {

inline void PrepareDemo()
{
    if (PAK::First() == nullptr) {
        ASSERT_NE(PAK::Open(SHOW_ARCHIVE), nullptr) << Error::Text();
    }
    static const bool ready = aqtool::FillDemoAquarium(aqtool::ModeSwitch::NONE);
    ASSERT_TRUE(ready) << Error::Text();
    Error::Reset();
}

}  // namespace show_test
