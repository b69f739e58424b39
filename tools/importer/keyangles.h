// The demo's angles of a rotation matrix: R = Y(heading) × X(pitch) × Z(bank),
// bank applied first, with the right-handed rotations of render/matrix.h.
// Every rotation has two solutions, (p, h, b) and (pi - p, h + pi, b + pi), each
// up to whole turns; the key fitter picks the one nearest the previous key's
// so that the demo's spline, which blends angles one by one, never turns the
// long way. Double precision throughout.
//
// Limits: at pitch ±pi/2 (gimbal lock) only heading - bank (or heading + bank)
// is defined; the bank is then kept from the previous key.
#pragma once

#include <array>

namespace importer {

struct DemoAngles {
    double pitch = 0.0;    // about x, radians
    double heading = 0.0;  // about y
    double bank = 0.0;     // about z
};

// The solution with pitch in [-pi/2, pi/2] and heading and bank in
// (-pi, pi] of the row-major rotation r (a proper rotation).
DemoAngles AnglesOf(const std::array<double, 9>& r);

// The angles of r nearest previous: of both solutions, each angle moved by
// whole turns toward previous's, the one closer to previous.
DemoAngles AnglesNear(const std::array<double, 9>& r, const DemoAngles& previous);

}  // namespace importer
