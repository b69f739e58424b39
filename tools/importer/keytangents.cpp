// The tangent fit. Each of the demo's tangents at a key is, channel by
// channel, x × first + y × second: (a, b) blend the differences to the two
// neighbours for the tangent that leaves, (g, k) for the one that enters, and
// a key's first or last tangent is a share of its one difference. Every
// factor is linear in each of tension, continuity and bias alone, so the
// squared mismatch is a parabola in each of them: the fit minimises one at a
// time, exactly, from nine starting points, and keeps the best.
#include "tools/importer/keytangents.h"

#include <algorithm>
#include <cmath>

namespace importer {

namespace {

constexpr double TANGENT_REACH = 4.0 / 27.0;   // largest weight of a tangent in a Hermite segment
constexpr double PULL_TO_ZERO = 1e-3;          // keeps undecided numbers at 0, in squared tolerances
constexpr double LIMIT = 1.0;                  // |tension|, |continuity|, |bias| at most
constexpr int SWEEPS = 16;                     // at most, from each start
constexpr double SETTLED = 1e-6;               // a sweep that moves no number further ends the search
constexpr double STARTS[] = {-1.0, 0.0, 1.0};  // of continuity and bias; tension starts at 0

// One tangent as a blend of two channel vectors and the slope it should
// have, reduced to the sums that give its weighted squared mismatch for any
// blend (x, y): x² ff + y² ss + 2xy fs - 2x fg - 2y sg + gg.
struct Blend {
    bool used = false;
    double ff = 0.0, ss = 0.0, fs = 0.0, fg = 0.0, sg = 0.0, gg = 0.0;
};

struct Factors {
    double a, b, g, k;
};

Factors FactorsOf(const Tcb& s)
{
    const double t = 1.0 - s.tension;
    return {t * (1.0 + s.continuity) * (1.0 + s.bias), t * (1.0 - s.continuity) * (1.0 - s.bias),
            t * (1.0 - s.continuity) * (1.0 + s.bias), t * (1.0 + s.continuity) * (1.0 - s.bias)};
}

KeyChannels Difference(const KeyChannels& to, const KeyChannels& from, double scale)
{
    KeyChannels d;
    for (std::size_t c = 0; c < d.size(); ++c)
        d[c] = (to[c] - from[c]) * scale;
    return d;
}

// The blend of first and second whose goal is slope stretched over span.
Blend Sums(const KeyChannels& first, const KeyChannels& second, const KeyChannels& slope, double span,
           const KeyChannels& weight)
{
    Blend blend;
    blend.used = true;
    for (std::size_t c = 0; c < first.size(); ++c) {
        const double w = weight[c] * TANGENT_REACH;
        const double f = w * first[c], s = w * second[c], g = w * slope[c] * span;
        blend.ff += f * f;
        blend.ss += s * s;
        blend.fs += f * s;
        blend.fg += f * g;
        blend.sg += s * g;
        blend.gg += g * g;
    }
    return blend;
}

// A tangent of key i on a segment of span frames: at either end of the
// track a share of the key's one difference, else the blend of both.
Blend Tangent(const TangentGoal& goal, double span, const KeyChannels& slope)
{
    if (goal.before == nullptr || goal.after == nullptr) {
        const KeyChannels half =
            goal.before == nullptr ? Difference(*goal.after, *goal.at, 0.5) : Difference(*goal.at, *goal.before, 0.5);
        return Sums(half, half, slope, span, goal.weight);
    }
    const double scale = span / (goal.frameAfter - goal.frameBefore);
    return Sums(Difference(*goal.at, *goal.before, scale), Difference(*goal.after, *goal.at, scale), slope, span,
                goal.weight);
}

// The tangent that leaves key i, on the segment to key i + 1.
Blend Leaving(const TangentGoal& goal)
{
    const double span = goal.frameAfter - goal.frame;
    return goal.leaves && goal.after != nullptr && span > 0.0 ? Tangent(goal, span, goal.slopeAfter) : Blend{};
}

// The tangent that enters key i, on the segment from key i - 1.
Blend Entering(const TangentGoal& goal)
{
    const double span = goal.frame - goal.frameBefore;
    return goal.enters && goal.before != nullptr && span > 0.0 ? Tangent(goal, span, goal.slopeBefore) : Blend{};
}

double Mismatch(const Blend& b, double x, double y)
{
    return b.used ? x * x * b.ff + y * y * b.ss + 2.0 * (x * y * b.fs - x * b.fg - y * b.sg) + b.gg : 0.0;
}

double Cost(const Blend& leaving, const Blend& entering, const Tcb& s)
{
    const Factors f = FactorsOf(s);
    return Mismatch(leaving, f.a, f.b) + Mismatch(entering, f.g, f.k) +
           PULL_TO_ZERO * (s.tension * s.tension + s.continuity * s.continuity + s.bias * s.bias);
}

// Moves one of the three numbers to the minimum of its parabola within the limits.
void Settle(const Blend& leaving, const Blend& entering, Tcb& s, double Tcb::*number)
{
    const auto costAt = [&](double x) {
        Tcb probe = s;
        probe.*number = x;
        return Cost(leaving, entering, probe);
    };
    const double low = costAt(-LIMIT), middle = costAt(0.0), high = costAt(LIMIT);
    const double curvature = (low + high) / 2.0 - middle;
    const double slope = (high - low) / 2.0;
    double best = low <= high ? -LIMIT : LIMIT;
    if (curvature > 0.0) {
        const double vertex = std::clamp(-slope / (2.0 * curvature), -LIMIT, LIMIT);
        if (costAt(vertex) < costAt(best))
            best = vertex;
    }
    s.*number = best;
}

bool Settled(const Tcb& a, const Tcb& b)
{
    return std::fabs(a.tension - b.tension) < SETTLED && std::fabs(a.continuity - b.continuity) < SETTLED &&
           std::fabs(a.bias - b.bias) < SETTLED;
}

}  // namespace

Tcb FitTcb(const TangentGoal& goal)
{
    const Blend leaving = Leaving(goal);
    const Blend entering = Entering(goal);
    Tcb best;
    if (!leaving.used && !entering.used)
        return best;
    double bestCost = Cost(leaving, entering, best);
    for (const double continuity : STARTS) {
        for (const double bias : STARTS) {
            Tcb s{0.0, continuity, bias};
            for (int sweep = 0; sweep < SWEEPS; ++sweep) {
                const Tcb before = s;
                Settle(leaving, entering, s, &Tcb::tension);
                Settle(leaving, entering, s, &Tcb::continuity);
                Settle(leaving, entering, s, &Tcb::bias);
                if (Settled(before, s))
                    break;
            }
            const double cost = Cost(leaving, entering, s);
            if (cost < bestCost) {
                bestCost = cost;
                best = s;
            }
        }
    }
    return best;
}

}  // namespace importer
