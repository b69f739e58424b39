// Key tracks: the spline through one, two and three keys, tension, continuity,
// bias and linear segments, the end behaviours, the envelope update, and
// degenerate tracks, always between guard keys that poison any stray read.
#include "scene/keys.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr float NOT_A_NUMBER = std::numeric_limits<float>::quiet_NaN();
constexpr float TOLERANCE = 1e-4f;

// A track stored between two keys whose every field is NaN: an evaluator that
// reads outside the track yields NaN instead of a plausible number.
template <class Key>
class GuardedTrack {
public:
    explicit GuardedTrack(const std::vector<Key>& keys) : storage_(keys.size() + 2, Poison())
    {
        std::copy(keys.begin(), keys.end(), storage_.begin() + 1);
    }

    const Key* keys() const { return storage_.data() + 1; }
    std::uint32_t count() const { return static_cast<std::uint32_t>(storage_.size() - 2); }

private:
    static Key Poison()
    {
        Key key;
        key.frame = key.tension = key.continuity = key.bias = NOT_A_NUMBER;
        key.linear = 0;
        for (float& value : key.value)
            value = NOT_A_NUMBER;
        return key;
    }

    std::vector<Key> storage_;
};

EnvelopeKey At(float frame, float value, float tension = 0.0f)
{
    EnvelopeKey key;
    key.frame = frame;
    key.value[0] = value;
    key.tension = tension;
    return key;
}

EnvelopeKey LinearAt(float frame, float value, float tension = 0.0f)
{
    EnvelopeKey key = At(frame, value, tension);
    key.linear = 1;
    return key;
}

float Evaluate(float t, const std::vector<EnvelopeKey>& keys)
{
    const GuardedTrack<EnvelopeKey> track(keys);
    float out = NOT_A_NUMBER;
    EvaluateEnvelopeKeys(t, track.count(), track.keys(), &out);
    return out;
}

std::vector<float> EvaluateObject(float t, const std::vector<ObjectKey>& keys)
{
    const GuardedTrack<ObjectKey> track(keys);
    std::vector<float> out(ObjectKey::CHANNEL_COUNT, NOT_A_NUMBER);
    EvaluateObjectKeys(t, track.count(), track.keys(), out.data());
    return out;
}

std::vector<float> EvaluateMotion(float t, const std::vector<MotionKey>& keys)
{
    const GuardedTrack<MotionKey> track(keys);
    std::vector<float> out(MotionKey::CHANNEL_COUNT, NOT_A_NUMBER);
    EvaluateMotionKeys(t, track.count(), track.keys(), out.data());
    return out;
}

// A single key holds every channel at every frame.

TEST(TrackWithOneKey, GivesTheKeyValuesAtEveryFrame)
{
    ObjectKey object;
    object.frame = 5.0f;
    object.tension = 1.0f;
    MotionKey motion;
    motion.frame = 5.0f;
    for (int c = 0; c < ObjectKey::CHANNEL_COUNT; ++c)
        object.value[c] = 1.5f * static_cast<float>(c + 1);
    for (int c = 0; c < MotionKey::CHANNEL_COUNT; ++c)
        motion.value[c] = -2.0f * static_cast<float>(c + 1);

    for (const float t : {-100.0f, 0.0f, 5.0f, 7.5f, 1.0e6f}) {
        EXPECT_EQ(EvaluateObject(t, {object}), std::vector<float>(object.value, object.value + 9));
        EXPECT_EQ(EvaluateMotion(t, {motion}), std::vector<float>(motion.value, motion.value + 6));
        EXPECT_EQ(Evaluate(t, {At(5.0f, 4.25f)}), 4.25f);
    }
}

// Keys at frames 0 and 10 with values 0 and 10.

TEST(TrackWithTwoKeys, DefaultKeysFollowTheLine)
{
    const std::vector<EnvelopeKey> keys = {At(0.0f, 0.0f), At(10.0f, 10.0f)};
    EXPECT_NEAR(Evaluate(0.0f, keys), 0.0f, TOLERANCE);
    EXPECT_NEAR(Evaluate(2.5f, keys), 2.5f, TOLERANCE);
    EXPECT_NEAR(Evaluate(5.0f, keys), 5.0f, TOLERANCE);
    EXPECT_NEAR(Evaluate(10.0f, keys), 10.0f, TOLERANCE);
}

TEST(TrackWithTwoKeys, TensionOneOnBothKeysFlattensBothTangents)
{
    const std::vector<EnvelopeKey> keys = {At(0.0f, 0.0f, 1.0f), At(10.0f, 10.0f, 1.0f)};
    EXPECT_NEAR(Evaluate(2.5f, keys), 1.5625f, TOLERANCE);
    EXPECT_NEAR(Evaluate(5.0f, keys), 5.0f, TOLERANCE);
}

TEST(TrackWithTwoKeys, EachKeyShapesOnlyItsOwnEndOfTheSegment)
{
    EXPECT_NEAR(Evaluate(2.5f, {At(0.0f, 0.0f, 1.0f), At(10.0f, 10.0f)}), 1.09375f, TOLERANCE);
    EXPECT_NEAR(Evaluate(2.5f, {At(0.0f, 0.0f), At(10.0f, 10.0f, 1.0f)}), 2.96875f, TOLERANCE);
}

TEST(TrackWithTwoKeys, LinearEndKeyMakesTheSegmentStraightWhateverTheTension)
{
    const std::vector<EnvelopeKey> keys = {At(0.0f, 0.0f, 1.0f), LinearAt(10.0f, 10.0f, 1.0f)};
    EXPECT_NEAR(Evaluate(2.5f, keys), 2.5f, TOLERANCE);
    EXPECT_NEAR(Evaluate(7.5f, keys), 7.5f, TOLERANCE);
    // The flag belongs to the segment that ends at the key, not the one it starts.
    EXPECT_NEAR(Evaluate(2.5f, {LinearAt(0.0f, 0.0f, 1.0f), At(10.0f, 10.0f, 1.0f)}), 1.5625f, TOLERANCE);
}

TEST(TrackWithTwoKeys, ExtrapolatesTheLastSegmentBeyondTheLastKey)
{
    EXPECT_NEAR(Evaluate(20.0f, {At(0.0f, 0.0f), At(10.0f, 10.0f)}), 20.0f, TOLERANCE);
    EXPECT_NEAR(Evaluate(20.0f, {At(0.0f, 0.0f, 1.0f), At(10.0f, 10.0f, 1.0f)}), -40.0f, TOLERANCE);
}

// Keys at frames 0, 10 and 30 with values 0, 10 and 40: a neighbour's tangent
// is stretched by the segment's span over the span the neighbour reaches.

std::vector<EnvelopeKey> ThreeKeys(float middleContinuity = 0.0f, float middleBias = 0.0f)
{
    std::vector<EnvelopeKey> keys = {At(0.0f, 0.0f), At(10.0f, 10.0f), At(30.0f, 40.0f)};
    keys[1].continuity = middleContinuity;
    keys[1].bias = middleBias;
    return keys;
}

TEST(TrackWithThreeKeys, PassesThroughEveryKey)
{
    EXPECT_NEAR(Evaluate(0.0f, ThreeKeys()), 0.0f, TOLERANCE);
    EXPECT_NEAR(Evaluate(10.0f, ThreeKeys()), 10.0f, TOLERANCE);
    EXPECT_NEAR(Evaluate(30.0f, ThreeKeys()), 40.0f, TOLERANCE);
}

TEST(TrackWithThreeKeys, OutgoingTangentOfTheMiddleKeyIsScaledByTwentyOverThirty)
{
    // Segment keys 1 to 2: out tangent (10 + 30) * 20/30, in tangent 0.5 * 30 * 2.
    EXPECT_NEAR(Evaluate(20.0f, ThreeKeys()), 24.583333f, TOLERANCE);
}

TEST(TrackWithThreeKeys, IncomingTangentOfTheMiddleKeyIsScaledByTenOverThirty)
{
    // Segment keys 0 to 1: out tangent 0.5 * 10 * 2, in tangent (10 + 30) * 10/30.
    EXPECT_NEAR(Evaluate(5.0f, ThreeKeys()), 4.583333f, TOLERANCE);
}

TEST(TrackWithThreeKeys, ContinuityAndBiasWeighTheNeighbouringDifferences)
{
    // Leaving key 1 both weigh its incoming difference by 1.5 and the outgoing by 0.5.
    EXPECT_NEAR(Evaluate(20.0f, ThreeKeys(0.5f, 0.0f)), 23.75f, TOLERANCE);
    EXPECT_NEAR(Evaluate(20.0f, ThreeKeys(0.0f, 0.5f)), 23.75f, TOLERANCE);
    // Arriving at key 1 they differ: continuity weighs the incoming difference
    // by 0.5 and the outgoing by 1.5, bias the other way round.
    EXPECT_NEAR(Evaluate(5.0f, ThreeKeys(0.5f, 0.0f)), 4.166667f, TOLERANCE);
    EXPECT_NEAR(Evaluate(5.0f, ThreeKeys(0.0f, 0.5f)), 5.0f, TOLERANCE);
}

// The Hermite cubic of a segment, in float, with the weights in the design's order.
float Hermite(float u, float from, float to, float outTangent, float inTangent)
{
    const float u2 = u * u;
    const float u3 = u2 * u;
    const float h2 = 3.0f * u2 - 2.0f * u3;
    return (1.0f - h2) * from + h2 * to + (u3 - 2.0f * u2 + u) * outTangent + (u3 - u2) * inTangent;
}

TEST(TrackWithThreeKeys, StretchedTangentsRoundAsSumTimesSpanOverReach)
{
    // Keys 0, 1, 5 at frames 0, 10, 30: (5 × span) / 30 and 5 × (span / 30)
    // differ in the last bit, and so do the values at these frames.
    const std::vector<EnvelopeKey> keys = {At(0.0f, 0.0f), At(10.0f, 1.0f), At(30.0f, 5.0f)};
    const float sum = 1.0f + 4.0f;
    EXPECT_EQ(Evaluate(17.0f, keys), Hermite(7.0f / 20.0f, 1.0f, 5.0f, sum * 20.0f / 30.0f, 4.0f));
    EXPECT_EQ(Evaluate(5.0f, keys), Hermite(0.5f, 0.0f, 1.0f, 1.0f, sum * 10.0f / 30.0f));
}

// The object and motion evaluators are the envelope evaluator run over 9 and 6
// channels of one segment.

template <class Track>
void FillRandomTrack(Track& keys, std::mt19937& random)
{
    std::uniform_real_distribution<float> shape(-0.8f, 0.8f);
    std::uniform_real_distribution<float> value(-50.0f, 50.0f);
    const float frames[] = {0.0f, 7.0f, 12.5f, 30.0f};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        keys[i].frame = frames[i];
        keys[i].tension = shape(random);
        keys[i].continuity = shape(random);
        keys[i].bias = shape(random);
        keys[i].linear = i == 2 ? 1 : 0;
        for (float& v : keys[i].value)
            v = value(random);
    }
}

template <class Key>
std::vector<EnvelopeKey> Channel(const std::vector<Key>& keys, int c)
{
    std::vector<EnvelopeKey> channel;
    for (const Key& key : keys) {
        EnvelopeKey single;
        single.frame = key.frame;
        single.tension = key.tension;
        single.continuity = key.continuity;
        single.bias = key.bias;
        single.linear = key.linear;
        single.value[0] = key.value[c];
        channel.push_back(single);
    }
    return channel;
}

TEST(MultiChannelTracks, EveryChannelEvaluatesAsItsOwnEnvelope)
{
    std::mt19937 random(7);
    std::vector<ObjectKey> objectKeys(4);
    std::vector<MotionKey> motionKeys(4);
    FillRandomTrack(objectKeys, random);
    FillRandomTrack(motionKeys, random);

    for (float t = -2.0f; t <= 40.0f; t += 1.25f) {
        const std::vector<float> object = EvaluateObject(t, objectKeys);
        for (int c = 0; c < ObjectKey::CHANNEL_COUNT; ++c)
            EXPECT_FLOAT_EQ(object[c], Evaluate(t, Channel(objectKeys, c))) << "t " << t << " channel " << c;
        const std::vector<float> motion = EvaluateMotion(t, motionKeys);
        for (int c = 0; c < MotionKey::CHANNEL_COUNT; ++c)
            EXPECT_FLOAT_EQ(motion[c], Evaluate(t, Channel(motionKeys, c))) << "t " << t << " channel " << c;
    }
}

// End behaviour with the last key at frame 100.7, so L = 100.

constexpr float LAST_FRAME = 100.7f;
constexpr std::uint32_t END_NONE = 0;

TEST(EndBehaviour, FramesUpToTheTruncatedLastFrameAreNeverChanged)
{
    for (const std::uint32_t behaviour : {END_NONE, END_HOLD, END_REPEAT}) {
        EXPECT_EQ(ApplyEndBehaviour(100.0f, behaviour, LAST_FRAME), 100.0f);
        EXPECT_EQ(ApplyEndBehaviour(37.5f, behaviour, LAST_FRAME), 37.5f);
    }
}

TEST(EndBehaviour, HoldStopsAtTheTruncatedLastFrame)
{
    EXPECT_EQ(ApplyEndBehaviour(100.5f, END_HOLD, LAST_FRAME), 100.0f);
    EXPECT_EQ(ApplyEndBehaviour(150.0f, END_HOLD, LAST_FRAME), 100.0f);
}

TEST(EndBehaviour, RepeatWrapsBackIntoTheTrack)
{
    EXPECT_NEAR(ApplyEndBehaviour(100.5f, END_REPEAT, LAST_FRAME), 0.5f, TOLERANCE);
    EXPECT_NEAR(ApplyEndBehaviour(250.0f, END_REPEAT, LAST_FRAME), 50.0f, TOLERANCE);
}

TEST(EndBehaviour, AnyOtherValueLeavesTheFrameToTheExtrapolation)
{
    EXPECT_EQ(ApplyEndBehaviour(150.0f, END_NONE, LAST_FRAME), 150.0f);
    EXPECT_EQ(ApplyEndBehaviour(150.0f, 3, LAST_FRAME), 150.0f);
}

TEST(EndBehaviour, RepeatOverATrackShorterThanOneFrameLeavesTheFrame)
{
    EXPECT_EQ(ApplyEndBehaviour(5.0f, END_REPEAT, 0.7f), 5.0f);
    EXPECT_EQ(ApplyEndBehaviour(5.0f, END_REPEAT, 0.0f), 5.0f);
    EXPECT_EQ(ApplyEndBehaviour(5.0f, END_HOLD, 0.7f), 0.0f);
}

TEST(EndBehaviour, TrackWithoutKeysLeavesTheFrame)
{
    EXPECT_EQ(ApplyEndBehaviour(150.0f, END_HOLD, 0, static_cast<const EnvelopeKey*>(nullptr)), 150.0f);
}

// An envelope maps the frame, evaluates its track and writes its target.

class Envelope : public ::testing::Test {
protected:
    // A straight track whose value is its frame, last key at 100.7.
    void SetUp() override
    {
        envelope.keys = new EnvelopeKey[2]{At(0.0f, 0.0f), LinearAt(LAST_FRAME, LAST_FRAME)};
        envelope.keyCount = 2;
        envelope.target = &target;
    }

    float target = 3.2f;
    SceneEnvelope envelope;
};

TEST_F(Envelope, WritesTheValueAtTheMappedFrameThroughItsTarget)
{
    envelope.endBehaviour = END_REPEAT;
    envelope.Evaluate(250.0f);
    EXPECT_NEAR(target, 50.0f, TOLERANCE);
    envelope.endBehaviour = END_HOLD;
    envelope.Evaluate(150.0f);
    EXPECT_NEAR(target, 100.0f, TOLERANCE);
    envelope.endBehaviour = END_NONE;
    envelope.Evaluate(150.0f);
    EXPECT_NEAR(target, 150.0f, TOLERANCE);
}

TEST_F(Envelope, WithoutKeysTheTargetKeepsItsValue)
{
    envelope.keyCount = 0;
    envelope.Evaluate(50.0f);
    EXPECT_EQ(target, 3.2f);
    envelope.keyCount = 2;
    envelope.target = nullptr;
    envelope.Evaluate(50.0f);
    EXPECT_EQ(target, 3.2f);
}

// Tracks the data should never hold still give finite values from inside the track.

TEST(DegenerateTracks, NoKeysYieldTheValuesOfAFreshKey)
{
    EXPECT_EQ(EvaluateObject(5.0f, {}), (std::vector<float>{0, 0, 0, 0, 0, 0, 1, 1, 1}));
    EXPECT_EQ(EvaluateMotion(5.0f, {}), std::vector<float>(6, 0.0f));
    EXPECT_EQ(Evaluate(5.0f, {}), 0.0f);
    float out = NOT_A_NUMBER;
    EvaluateEnvelopeKeys(5.0f, 3, nullptr, &out);
    EXPECT_EQ(out, 0.0f);
}

TEST(DegenerateTracks, FramesBeforeTheFirstKeyGiveTheFirstKey)
{
    const std::vector<EnvelopeKey> keys = {At(10.0f, 1.0f), At(20.0f, 5.0f)};
    EXPECT_EQ(Evaluate(0.0f, keys), 1.0f);
    EXPECT_EQ(Evaluate(-1.0e30f, keys), 1.0f);
}

TEST(DegenerateTracks, TwoKeysOnOneFrameJumpToTheLaterKey)
{
    const std::vector<EnvelopeKey> lastTwo = {At(0.0f, 0.0f), At(10.0f, 10.0f), At(10.0f, 20.0f)};
    EXPECT_TRUE(std::isfinite(Evaluate(5.0f, lastTwo)));
    EXPECT_EQ(Evaluate(10.0f, lastTwo), 20.0f);
    EXPECT_EQ(Evaluate(15.0f, lastTwo), 20.0f);

    const std::vector<EnvelopeKey> onlyTwo = {At(5.0f, 1.0f), At(5.0f, 2.0f)};
    EXPECT_EQ(Evaluate(4.0f, onlyTwo), 1.0f);
    EXPECT_EQ(Evaluate(5.0f, onlyTwo), 2.0f);
    EXPECT_EQ(Evaluate(100.0f, onlyTwo), 2.0f);

    const std::vector<EnvelopeKey> firstTwo = {At(5.0f, 1.0f), At(5.0f, 2.0f), At(15.0f, 3.0f)};
    EXPECT_NEAR(Evaluate(5.0f, firstTwo), 2.0f, TOLERANCE);
    EXPECT_TRUE(std::isfinite(Evaluate(10.0f, firstTwo)));
}

TEST(DegenerateTracks, KeysOutOfOrderStayFiniteAndInsideTheTrack)
{
    std::vector<ObjectKey> keys(5);
    const float frames[] = {0.0f, 20.0f, 10.0f, 30.0f, 5.0f};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        keys[i].frame = frames[i];
        keys[i].value[KeyChannel::POSITION_X] = static_cast<float>(i);
    }
    for (float t = -10.0f; t <= 40.0f; t += 0.25f) {
        for (const float value : EvaluateObject(t, keys))
            ASSERT_TRUE(std::isfinite(value)) << "t " << t;
    }
}

TEST(DegenerateTracks, NeighbourOnTheWrongSideOfTheSegmentIsNotDividedBy)
{
    // Key 1 lies on the end frame of segment 2..3, key 3 on the start frame of
    // segment 1..2: the spans their tangents would be scaled by are zero.
    EXPECT_TRUE(std::isfinite(Evaluate(12.0f, {At(0, 0), At(10, 1), At(5, 2), At(10, 3)})));
    EXPECT_TRUE(std::isfinite(Evaluate(15.0f, {At(0, 0), At(10, 1), At(20, 2), At(10, 3)})));
}

}  // namespace
