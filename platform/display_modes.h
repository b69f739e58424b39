// How a display-mode change is answered, the way Windows answers it: members
// outside the request's field mask keep the current mode's values, and only a
// mode the display offers exactly counts. Pure rules, shared by the real
// backend and the fake; no display is touched here.
#pragma once

#include <cstddef>

#include "platform/platform.h"

namespace platform {

// The mode a change asks for: request's members where its field mask names
// them, current's otherwise. The mask is kept so frequency matching knows
// whether it was asked for.
DisplayMode WantedMode(const DisplayMode& request, const DisplayMode& current);

// Index of the offered mode with wanted's width, height and depth, and with
// its frequency when wanted's mask names one (0 counts as any). Among several,
// the one at wanted's frequency comes first, else the first offered.
// -1 when the display offers no such mode.
int FindOfferedMode(const DisplayMode* offered, std::size_t count, const DisplayMode& wanted);

}  // namespace platform
