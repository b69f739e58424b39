// The first interlude's panels, shared with the tests that check their
// pictures against frames of the scenes they show.
#pragma once

#include <string>
#include <vector>

#include "tools/datagen/show/snapshots.h"

namespace Interlude {

constexpr int SCENE = 15;
constexpr int PICTURE_SIDE = 512;

// What panel i shows, and the picture it shows it in.
const std::vector<Snapshot>& PanelSnapshots();
std::string PanelPicture(int i);

}  // namespace Interlude
