// Fills the global Aquarium as the demo's start-up does (640 x 480 x 32, or
// the picture chosen, full screen) through whichever backend is installed; a
// test child that cannot fill says why and ends with status 3.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "host/aquarium.h"
#include "host/error.h"
#include "host/handlers.h"
#include "host/scenelists.h"

namespace test_support {

inline void FillAsTheDemoDoes()
{
    Demo::RequestDemoMode();
    if (!gAquarium.FillOpenGL(SWIM_LIST, LIGHT_LIST, POLYGON_LIST,
                              platform::Os().ProgramInstance())) {
        std::fprintf(stderr, "fill failed: %s", Error::Text());
        std::exit(3);
    }
}

}  // namespace test_support
