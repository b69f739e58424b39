// The soundtrack the build made (SHOW_ARCHIVE, build/dovra.kzp), decoded once
// per test program as the demo decodes it, and the cuts it must mark: the
// cut that starts each scene after the first, and the show's last end time.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "tools/audio/showtrack.h"
#include "tools/datagen/music/form.h"

namespace test_support {

inline const DecodedTrack& ShowTrack()
{
    static DecodedTrack track;
    static const bool loaded = LoadShowTrack(SHOW_ARCHIVE, &track);
    EXPECT_TRUE(loaded) << "the build makes " << SHOW_ARCHIVE;
    return track;
}

// Indices into SCENE_END_MS of the cuts heard in act: the starts of its
// scenes after the first scene of the show, and for the last act the end.
inline std::vector<int> CutsOfAct(const Act& act)
{
    std::vector<int> cuts;
    for (int scene = std::max(act.firstScene, 1); scene <= act.lastScene; ++scene)
        cuts.push_back(scene - 1);
    if (act.lastScene == SCENE_COUNT - 1)
        cuts.push_back(SCENE_COUNT - 1);
    return cuts;
}

}  // namespace test_support
