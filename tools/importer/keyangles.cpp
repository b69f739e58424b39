// Heading, pitch and bank of a rotation and the unwrapping against a previous
// key. With R = Y(h) X(p) Z(b): row 1 is (cos p sin b, cos p cos b, -sin p),
// column 2 is (sin h cos p, -sin p, cos h cos p).
#include "tools/importer/keyangles.h"

#include <cmath>

namespace importer {

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double TWO_PI = 2.0 * PI;
constexpr double LOCKED = 1e-9;  // cos pitch below which heading and bank share one degree of freedom

// Element (row, column) of a row-major 3 x 3 matrix.
double At(const std::array<double, 9>& r, int row, int column)
{
    return r[3 * row + column];
}

// angle moved by whole turns to lie within half a turn of near.
double Nearest(double angle, double near)
{
    return angle + TWO_PI * std::round((near - angle) / TWO_PI);
}

DemoAngles Near(const DemoAngles& angles, const DemoAngles& previous)
{
    return {Nearest(angles.pitch, previous.pitch), Nearest(angles.heading, previous.heading),
            Nearest(angles.bank, previous.bank)};
}

double Distance(const DemoAngles& a, const DemoAngles& b)
{
    const double dp = a.pitch - b.pitch, dh = a.heading - b.heading, db = a.bank - b.bank;
    return dp * dp + dh * dh + db * db;
}

// At pitch ±pi/2 row 0 is (cos(h ∓ b), sin(h ∓ b), 0): the bank is chosen and
// the heading follows.
DemoAngles Locked(const std::array<double, 9>& r, double bank)
{
    const bool up = -At(r, 1, 2) > 0.0;
    DemoAngles angles;
    angles.pitch = up ? PI / 2.0 : -PI / 2.0;
    angles.bank = bank;
    angles.heading = up ? bank + std::atan2(At(r, 0, 1), At(r, 0, 0)) : std::atan2(-At(r, 0, 1), At(r, 0, 0)) - bank;
    return angles;
}

bool IsLocked(const std::array<double, 9>& r)
{
    return std::hypot(At(r, 1, 0), At(r, 1, 1)) < LOCKED;
}

}  // namespace

DemoAngles AnglesOf(const std::array<double, 9>& r)
{
    if (IsLocked(r))
        return Locked(r, 0.0);
    DemoAngles angles;
    angles.pitch = std::atan2(-At(r, 1, 2), std::hypot(At(r, 1, 0), At(r, 1, 1)));
    angles.heading = std::atan2(At(r, 0, 2), At(r, 2, 2));
    angles.bank = std::atan2(At(r, 1, 0), At(r, 1, 1));
    return angles;
}

DemoAngles AnglesNear(const std::array<double, 9>& r, const DemoAngles& previous)
{
    if (IsLocked(r))
        return Near(Locked(r, previous.bank), previous);
    const DemoAngles first = AnglesOf(r);
    const DemoAngles other{PI - first.pitch, first.heading + PI, first.bank + PI};
    const DemoAngles a = Near(first, previous);
    const DemoAngles b = Near(other, previous);
    return Distance(a, previous) <= Distance(b, previous) ? a : b;
}

}  // namespace importer
