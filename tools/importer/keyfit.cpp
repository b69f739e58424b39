// The key fitter's rounds: knots at the model's key times (two at each
// jump), then, until the demo's curve follows the model's, values unwrapped
// from knot to knot, each segment straight or a spline, each key's tension,
// continuity and bias, the keys, their departure checked through the demo's
// own evaluator, and new knots where they depart. Work is redone only where a
// knot was added or changed: a segment's shape depends on its two keys and
// their neighbours, nothing further.
#include "tools/importer/keyfit.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "tools/importer/keyangles.h"
#include "tools/importer/keysampling.h"
#include "tools/importer/keytangents.h"

namespace importer {

namespace {

constexpr double FIT_SHARE = 0.9;         // departure aimed at: room for what lies between the checked points
constexpr double STRAIGHT_SHARE = 0.1;    // a line that departs by less than this makes a straight segment
constexpr double JUMP_SPAN = 1.0 / 1024;  // frames between the two keys of a jump
constexpr int JUMP_SPAN_STEPS = 4;        // ... and at least this many float steps of the frame
constexpr double MIN_SPLIT = 1.0 / 64;    // frames: a shorter segment is not split
constexpr double MAX_FRAME = 1048576.0;   // |frame| at most: 2^20, where a float step is 1/8 frame
constexpr double SPLIT_LOW = 0.25;        // a new knot lies in the middle half of its segment, so
constexpr double SPLIT_HIGH = 0.75;       // every split shortens a segment by a quarter at least

template <class Key>
class Fitter {
public:
    Fitter(const PoseCurve& curve, std::string& why)
        : curve_(curve), model_(curve, Key::CHANNEL_COUNT > MotionKey::CHANNEL_COUNT, why), why_(why)
    {
    }

    bool Run(FittedKeys<Key>& fitted);

private:
    bool Setup();
    bool AddJumpKnots(const std::vector<double>& jumps);
    bool Round();
    bool Unwrap();
    bool DecideStraight();
    bool FitTangents();
    void WriteKeys();
    bool CheckSegments();
    std::vector<std::size_t> Departing() const;
    bool Refine();
    void Report(FittedKeys<Key>& fitted) const;

    const PoseCurve& curve_;
    const ModelSampler model_;
    std::string& why_;
    std::vector<FitKnot> knots_;
    std::vector<Key> keys_;
    std::size_t bound_ = 0;
};

// Sorted, without repeats; false when one is not finite.
bool SortedTimes(std::vector<double> times, std::vector<double>& sorted)
{
    if (!std::all_of(times.begin(), times.end(), [](double t) { return std::isfinite(t); }))
        return false;
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    sorted = std::move(times);
    return true;
}

// A float frame strictly after previous.
float FrameAfter(double frame, float previous)
{
    const float f = static_cast<float>(frame);
    return f > previous ? f : std::nextafter(previous, MAX_FRAME);
}

template <class Key>
bool Fitter<Key>::Setup()
{
    std::vector<double> times, jumps;
    if (!SortedTimes(curve_.keyTimes, times) || !SortedTimes(curve_.jumpTimes, jumps)) {
        why_ = "a key time of the curve is not a finite number";
        return false;
    }
    if (times.empty())
        times.push_back(0.0);
    // A jump after the last key time or at the first cannot show: the model holds its end values.
    jumps.erase(
        std::remove_if(jumps.begin(), jumps.end(), [&](double t) { return !(t > times.front() && t <= times.back()); }),
        jumps.end());
    times.insert(times.end(), jumps.begin(), jumps.end());
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    if (times.size() + jumps.size() > MAX_TRACK_KEYS) {
        why_ = "the curve has " + std::to_string(times.size() + jumps.size()) + " keys, more than the " +
               std::to_string(MAX_TRACK_KEYS) + " a track may hold";
        return false;
    }
    for (const double t : times) {
        const double frame = t * curve_.fps;
        if (!(std::fabs(frame) <= MAX_FRAME)) {
            why_ = "a key at " + std::to_string(t) + " s lies beyond frame 1048576, past what a float frame holds";
            return false;
        }
        FitKnot knot;
        knot.time = t;
        knot.frame = knots_.empty() ? static_cast<float>(frame) : FrameAfter(frame, knots_.back().frame);
        knot.jumpEnd = std::binary_search(jumps.begin(), jumps.end(), t);
        knots_.push_back(knot);
    }
    if (!AddJumpKnots(jumps))
        return false;
    const double frames = static_cast<double>(knots_.back().frame) - knots_.front().frame;
    bound_ = std::min(MAX_TRACK_KEYS, knots_.size() + static_cast<std::size_t>(std::ceil(frames)) + 1);
    return true;
}

// Before every jump's knot, a knot just before it that holds the value the
// jump leaves.
template <class Key>
bool Fitter<Key>::AddJumpKnots(const std::vector<double>& jumps)
{
    if (jumps.empty())
        return true;
    std::vector<FitKnot> knots;
    knots.reserve(knots_.size() + jumps.size());
    for (FitKnot& knot : knots_) {
        if (knot.jumpEnd) {
            const float previous = knots.back().frame;
            const float steps = std::nextafter(knot.frame, MAX_FRAME) - knot.frame;
            const double span = std::min(std::max(JUMP_SPAN, JUMP_SPAN_STEPS * static_cast<double>(steps)),
                                         (static_cast<double>(knot.frame) - previous) / 2.0);
            FitKnot before;
            before.frame = FrameAfter(knot.frame - span, previous);
            before.time = before.frame / curve_.fps;
            if (!(before.frame < knot.frame)) {
                why_ = "two key times of the curve lie closer than a float frame can tell apart";
                return false;
            }
            knots.push_back(before);
        }
        knots.push_back(knot);
    }
    knots_ = std::move(knots);
    return true;
}

template <class Key>
bool Fitter<Key>::Unwrap()
{
    DemoAngles previous;
    for (std::size_t i = 0; i < knots_.size(); ++i) {
        FitKnot& knot = knots_[i];
        if (knot.fresh && !model_.At(knot.time, knot.pose))
            return false;
        const KeyChannels value = i == 0 ? ChannelsOf(knot.pose) : ChannelsNear(knot.pose, previous);
        if (value != knot.value) {
            knot.value = value;
            knot.fresh = true;
        }
        previous = AnglesIn(knot.value);
    }
    return true;
}

template <class Key>
bool Fitter<Key>::DecideStraight()
{
    knots_.front().straightMoved = false;  // no segment leads into the first key
    for (std::size_t q = 1; q < knots_.size(); ++q) {
        FitKnot& to = knots_[q];
        const FitKnot& from = knots_[q - 1];
        to.straightMoved = false;
        if (!from.fresh && !to.fresh)
            continue;
        bool straight = to.jumpEnd;
        if (!straight) {
            double departure = 0.0;
            if (!model_.LineDeparture(from, to, departure))
                return false;
            straight = departure <= STRAIGHT_SHARE;
        }
        to.straightMoved = straight != to.straight;
        to.straight = straight;
    }
    return true;
}

template <class Key>
bool Fitter<Key>::FitTangents()
{
    const std::size_t n = knots_.size();
    for (std::size_t i = 0; i < n; ++i) {
        FitKnot& knot = knots_[i];
        const bool near = knot.fresh || (i > 0 && knots_[i - 1].fresh) || (i + 1 < n && knots_[i + 1].fresh);
        const bool bordersMoved = knot.straightMoved || (i + 1 < n && knots_[i + 1].straightMoved);
        knot.keyMoved = knot.fresh || knot.straightMoved;
        if (!near && !bordersMoved)
            continue;
        TangentGoal goal;
        if (!model_.Slopes(knots_, i, goal))
            return false;
        const Tcb tcb = FitTcb(goal);
        knot.keyMoved = knot.keyMoved || tcb.tension != knot.tcb.tension || tcb.continuity != knot.tcb.continuity ||
                        tcb.bias != knot.tcb.bias;
        knot.tcb = tcb;
    }
    return true;
}

template <class Key>
void Fitter<Key>::WriteKeys()
{
    keys_.resize(knots_.size());
    for (std::size_t i = 0; i < knots_.size(); ++i) {
        const FitKnot& knot = knots_[i];
        Key& key = keys_[i];
        key.frame = knot.frame;
        key.tension = static_cast<float>(knot.tcb.tension);
        key.continuity = static_cast<float>(knot.tcb.continuity);
        key.bias = static_cast<float>(knot.tcb.bias);
        key.linear = i > 0 && knot.straight ? 1u : 0u;
        for (int c = 0; c < Key::CHANNEL_COUNT; ++c)
            key.value[c] = static_cast<float>(knot.value[c]);
    }
}

// Checks again every segment whose keys or their neighbours moved.
template <class Key>
bool Fitter<Key>::CheckSegments()
{
    const std::size_t n = knots_.size();
    for (std::size_t q = 1; q < n; ++q) {
        FitKnot& to = knots_[q];
        const std::size_t first = q >= 2 ? q - 2 : 0;
        const std::size_t last = std::min(q + 1, n - 1);
        bool moved = false;
        for (std::size_t i = first; i <= last; ++i)
            moved = moved || knots_[i].keyMoved;
        if (!moved)
            continue;
        if (to.jumpEnd) {
            to.departure = 0.0;
            continue;
        }
        const auto count = static_cast<std::uint32_t>(last - first + 1);
        if (!model_.KeyDeparture(keys_.data() + first, count, knots_[q - 1], to, to.departure, to.worstFraction))
            return false;
    }
    return true;
}

template <class Key>
bool Fitter<Key>::Round()
{
    if (!Unwrap() || !DecideStraight() || !FitTangents())
        return false;
    WriteKeys();
    if (!CheckSegments())
        return false;
    for (FitKnot& knot : knots_)
        knot.fresh = false;
    return true;
}

// The segments into the knots listed, in order, that depart too far and can
// still be split: the worst of them, as many as the bound leaves room for.
template <class Key>
std::vector<std::size_t> Fitter<Key>::Departing() const
{
    std::vector<std::size_t> departing;
    for (std::size_t q = 1; q < knots_.size(); ++q) {
        const double span = static_cast<double>(knots_[q].frame) - knots_[q - 1].frame;
        if (knots_[q].departure > FIT_SHARE && span >= MIN_SPLIT)
            departing.push_back(q);
    }
    const std::size_t room = bound_ > knots_.size() ? bound_ - knots_.size() : 0;
    if (departing.size() > room) {
        std::nth_element(departing.begin(), departing.begin() + room, departing.end(),
                         [&](std::size_t a, std::size_t b) { return knots_[a].departure > knots_[b].departure; });
        departing.resize(room);
        std::sort(departing.begin(), departing.end());
    }
    return departing;
}

// A new knot in each departing segment, at its worst point kept within the
// middle half. False when nothing could be split.
template <class Key>
bool Fitter<Key>::Refine()
{
    const std::vector<std::size_t> departing = Departing();
    if (departing.empty())
        return false;
    std::vector<FitKnot> knots;
    knots.reserve(knots_.size() + departing.size());
    std::size_t next = 0;
    for (std::size_t q = 0; q < knots_.size(); ++q) {
        if (next < departing.size() && departing[next] == q) {
            const FitKnot& from = knots_[q - 1];
            const FitKnot& to = knots_[q];
            const double u = std::clamp(to.worstFraction, SPLIT_LOW, SPLIT_HIGH);
            FitKnot split;
            split.frame = static_cast<float>(from.frame + u * (static_cast<double>(to.frame) - from.frame));
            split.time = split.frame / curve_.fps;
            if (split.frame > from.frame && split.frame < to.frame)  // else the floats have no room
                knots.push_back(split);
            ++next;
        }
        knots.push_back(knots_[q]);
    }
    const bool added = knots.size() > knots_.size();
    knots_ = std::move(knots);
    return added;
}

template <class Key>
void Fitter<Key>::Report(FittedKeys<Key>& fitted) const
{
    fitted.keys = keys_;
    fitted.worstDeparture = 0.0;
    fitted.worstTime = knots_.front().time;
    for (std::size_t q = 1; q < knots_.size(); ++q) {
        const FitKnot& to = knots_[q];
        if (to.departure > fitted.worstDeparture) {
            fitted.worstDeparture = to.departure;
            const FitKnot& from = knots_[q - 1];
            fitted.worstTime = from.time + to.worstFraction * (to.time - from.time);
        }
    }
    fitted.withinTolerance = fitted.worstDeparture <= 1.0;
}

template <class Key>
bool Fitter<Key>::Run(FittedKeys<Key>& fitted)
{
    if (!model_.Usable() || !Setup())
        return false;
    do {
        if (!Round())
            return false;
    } while (Refine());
    Report(fitted);
    return true;
}

template <class Key>
bool Fit(const PoseCurve& curve, FittedKeys<Key>& fitted, std::string& why)
{
    try {
        Fitter<Key> fitter(curve, why);
        return fitter.Run(fitted);
    } catch (const std::bad_alloc&) {
        why = "not enough memory for the keys of a curve";
        return false;
    }
}

}  // namespace

bool FitObjectKeys(const PoseCurve& curve, FittedKeys<ObjectKey>& fitted, std::string& why)
{
    return Fit(curve, fitted, why);
}

bool FitMotionKeys(const PoseCurve& curve, FittedKeys<MotionKey>& fitted, std::string& why)
{
    return Fit(curve, fitted, why);
}

}  // namespace importer
