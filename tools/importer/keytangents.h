// Tension, continuity and bias of one key, chosen so that the demo's spline
// leaves and enters the key with the model's own slopes. The demo's tangents
// at a key are fixed blends of the differences to its two neighbours; the
// three numbers only choose the blend, shared by every channel, so the fit is
// a least-squares compromise over the channels, each weighted by the inverse
// of its tolerance. The key fitter checks the result and adds keys where the
// compromise is not good enough.
//
// Limits: tension, continuity and bias stay within [-1, 1], the range in which
// the blends keep their sign; slopes outside what that range reaches are met
// as nearly as it allows.
#pragma once

#include <array>

namespace importer {

using KeyChannels = std::array<double, 9>;  // in the order of KeyChannel (scene/keys.h)

struct Tcb {
    double tension = 0.0;
    double continuity = 0.0;
    double bias = 0.0;
};

// Key i of a track, its neighbours and the model's slopes beside it. The
// values are borrowed for the duration of the call.
struct TangentGoal {
    const KeyChannels* before = nullptr;  // key i - 1, null for the first key
    const KeyChannels* at = nullptr;      // key i
    const KeyChannels* after = nullptr;   // key i + 1, null for the last key
    double frameBefore = 0.0;             // frames of the three keys
    double frame = 0.0;
    double frameAfter = 0.0;
    bool leaves = false;           // the segment from key i is a spline: match slopeAfter
    bool enters = false;           // the segment into key i is a spline: match slopeBefore
    KeyChannels slopeBefore = {};  // the model's slopes just before and after key i, per frame
    KeyChannels slopeAfter = {};
    KeyChannels weight = {};  // per channel: 1 / tolerance, 0 for a channel that does not count
};

// The tension, continuity and bias that bring key i's tangents nearest the
// goal's slopes; all 0 when neither segment beside it is a spline.
Tcb FitTcb(const TangentGoal& goal);

}  // namespace importer
