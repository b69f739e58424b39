// The ordering table: what a frame of reset, producer appends, sort and walk
// draws, and in which order; the sort checked against a comparison sort; the
// three system objects' operations driving the global record's table.
#include "host/ordertable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "host/aquarium.h"
#include "host/opengllib.h"
#include "host/systemobjects.h"
#include "platform/fake_backend.h"
#include "platform/fake_gl.h"

namespace {

constexpr std::int32_t DRAWN_TYPE = 7;
constexpr std::int32_t UNDRAWN_TYPE = 8;  // NoOperation in the polygon table
constexpr int LAST_BUCKET = ORDER_TABLE_BUCKETS - 1;

std::vector<PolygonNode*> visited;
std::vector<std::int32_t> visitedBuckets;
std::vector<std::uintptr_t> drawStateSeen;

void Record(std::int32_t bucket, PolygonNode* node)
{
    visited.push_back(node);
    visitedBuckets.push_back(bucket);
}

void RecordDraw(std::int32_t bucket, PolygonNode* node)
{
    drawStateSeen.push_back(gDrawState);
    gDrawState = 1;  // as a drawer that set some GL state
    Record(bucket, node);
}

// A frame's table with its terminator and the nodes producers appended.
class Frame {
public:
    Frame() : table_(new OrderTable{}) { OrderTableStart(*table_, &terminator_); }

    // Appends as a producer does: by the lowest byte of the key.
    PolygonNode* Add(std::uint32_t depthKey, std::uint32_t priority, std::int32_t type = DRAWN_TYPE)
    {
        nodes_.push_back(PolygonNode{nullptr, type, depthKey, priority});
        PolygonNode* const node = &nodes_.back();
        OrderTableAppend(SetA(*table_), LAST_BUCKET - static_cast<int>(depthKey & 0xFF), node);
        return node;
    }

    void Sort() { OrderTableSortPasses(*table_); }

    std::vector<PolygonNode*> Walk()
    {
        visited.clear();
        visitedBuckets.clear();
        OrderTableWalk(*table_, Record);
        return visited;
    }

    OrderTable& table() { return *table_; }
    PolygonNode* terminator() { return &terminator_; }

private:
    std::unique_ptr<OrderTable> table_;
    PolygonNode terminator_;
    std::deque<PolygonNode> nodes_;  // stable addresses
};

bool SetIsEmpty(BucketSet set)
{
    for (int bucket = 0; bucket < ORDER_TABLE_BUCKETS; ++bucket) {
        if (set.heads[bucket] != EMPTY_BUCKET || set.tails[bucket] != &set.heads[bucket])
            return false;
    }
    return true;
}

TEST(OrderTableTest, HigherPriorityIsDrawnBeforeAnyDepth)
{
    Frame frame;
    PolygonNode* const near = frame.Add(0x00000010, 3);
    PolygonNode* const far = frame.Add(0xFFFFFF00, 2);
    PolygonNode* const top = frame.Add(0x00000001, 200);
    frame.Sort();
    EXPECT_EQ(frame.Walk(), (std::vector<PolygonNode*>{top, near, far}));
}

TEST(OrderTableTest, LargerDepthKeyIsDrawnFirstAndEqualKeysKeepInsertionOrder)
{
    Frame frame;
    PolygonNode* const small = frame.Add(1, 9);
    PolygonNode* const large = frame.Add(256, 9);
    PolygonNode* const firstTwin = frame.Add(0x12345678, 9);
    PolygonNode* const secondTwin = frame.Add(0x12345678, 9);
    PolygonNode* const thirdTwin = frame.Add(0x12345678, 9);
    frame.Sort();
    EXPECT_EQ(frame.Walk(),
              (std::vector<PolygonNode*>{firstTwin, secondTwin, thirdTwin, large, small}));
}

TEST(OrderTableTest, TableWithOnlyTheTerminatorDrawsNothingFrameAfterFrame)
{
    Frame frame;
    EXPECT_TRUE(frame.Walk().empty());
    frame.Sort();
    EXPECT_TRUE(frame.Walk().empty());
    EXPECT_TRUE(SetIsEmpty(SetB(frame.table())));
    EXPECT_EQ(frame.table().headsA[LAST_BUCKET], frame.terminator());

    // The next frame starts from a clean table again.
    OrderTableStart(frame.table(), frame.terminator());
    PolygonNode* const node = frame.Add(5, 5);
    frame.Sort();
    EXPECT_EQ(frame.Walk(), std::vector<PolygonNode*>{node});
}

TEST(OrderTableTest, ATableNeverResetSortsAsEmptyAndDrawsNothing)
{
    // The Aquarium's table is all zero at construction.
    const std::unique_ptr<OrderTable> table(new OrderTable{});
    OrderTableSortPasses(*table);
    EXPECT_TRUE(SetIsEmpty(SetA(*table)));
    EXPECT_TRUE(SetIsEmpty(SetB(*table)));
    visited.clear();
    OrderTableWalk(*table, Record);
    EXPECT_TRUE(visited.empty());
}

TEST(OrderTableTest, NodesBehindTheTerminatorInTheLastBucketAreNeverDrawn)
{
    Frame frame;
    PolygonNode* const drawn = frame.Add(0x01, 0);
    frame.Add(0x00, 0);  // lands in bucket 255 behind the terminator
    frame.Add(0x00, 0);
    EXPECT_EQ(frame.Walk(), std::vector<PolygonNode*>{drawn});
    EXPECT_EQ(visitedBuckets, std::vector<std::int32_t>{LAST_BUCKET - 1});

    // Priority 0 and key 0 stay behind it through the sort; key 256 moves ahead.
    PolygonNode* const ahead = frame.Add(0x100, 0);
    frame.Sort();
    EXPECT_EQ(frame.Walk(), (std::vector<PolygonNode*>{ahead, drawn}));
}

TEST(OrderTableTest, WalkCallsEveryNodeWithItsBucketAndStopsAtTypeZero)
{
    Frame frame;
    PolygonNode* const first = frame.Add(0x0300, 10);
    PolygonNode* const second = frame.Add(0x0200, 4);
    frame.Add(0x0100, 3, 0);  // an early end: nothing after it is drawn
    frame.Add(0x0000, 2);
    frame.Sort();
    EXPECT_EQ(frame.Walk(), (std::vector<PolygonNode*>{first, second}));
    EXPECT_EQ(visitedBuckets, (std::vector<std::int32_t>{LAST_BUCKET - 10, LAST_BUCKET - 4}));
}

bool DrawnBefore(const PolygonNode* left, const PolygonNode* right)
{
    if (left->priority != right->priority)
        return left->priority > right->priority;
    return left->depthKey > right->depthKey;
}

TEST(OrderTableTest, RadixSortAgreesWithAStableComparisonSort)
{
    std::mt19937 random(20240611u);
    std::uniform_int_distribution<std::uint32_t> anyKey;
    std::uniform_int_distribution<std::uint32_t> fewKeys(0, 40);  // many equal keys
    std::uniform_int_distribution<std::uint32_t> priority(0, 255);
    Frame frame;
    std::vector<PolygonNode*> expected{frame.terminator()};
    for (int i = 0; i < 5000; ++i) {
        const std::uint32_t key = i % 2 ? anyKey(random) : fewKeys(random) << (8 * (i / 2 % 4));
        expected.push_back(frame.Add(key, i % 3 ? priority(random) : 0));
    }
    std::stable_sort(expected.begin(), expected.end(), DrawnBefore);
    expected.erase(std::find(expected.begin(), expected.end(), frame.terminator()),
                   expected.end());

    frame.Sort();

    EXPECT_EQ(frame.Walk(), expected);
    EXPECT_TRUE(SetIsEmpty(SetB(frame.table())));
}

// Node values of the large tables, by the shape of chains they make.
enum class Shape { OneKey, ReciprocalDepths, AnyValues, FewKeysShifted };

PolygonNode NodeOf(Shape shape, std::mt19937& random, int i)
{
    const std::uint32_t any = static_cast<std::uint32_t>(random());
    switch (shape) {
    case Shape::OneKey:
        return {nullptr, DRAWN_TYPE, 0x12345678u, 250u};
    case Shape::ReciprocalDepths: {
        const float depth = 1.0f + static_cast<float>(any % 99000u) / 1000.0f;
        return {nullptr, DRAWN_TYPE, static_cast<std::uint32_t>(2147483648.0f / depth), i % 5 == 0 ? 240u : 250u};
    }
    case Shape::AnyValues:
        return {nullptr, DRAWN_TYPE, any, static_cast<std::uint32_t>(random()) & 0xFFu};
    case Shape::FewKeysShifted:
        break;
    }
    return {nullptr, DRAWN_TYPE, (any % 3u) << (8 * (i % 4)), any % 2u};
}

// Tables large enough for the sort to read its chains ahead, and on both
// sides of the most nodes it sorts as an array (65,536 with the terminator):
// every shape of chain (one bucket for all, a few long ones, many short ones)
// gives the order of a stable comparison sort.
TEST(OrderTableTest, LargeTablesSortAsAStableComparisonSortDoes)
{
    std::mt19937 random(7u);
    for (const Shape shape : {Shape::OneKey, Shape::ReciprocalDepths, Shape::AnyValues, Shape::FewKeysShifted}) {
        for (const int count : {8191, 8193, 30000, 65535, 65536}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(shape)) + ": " + std::to_string(count) + " nodes");
            Frame frame;
            std::vector<PolygonNode*> expected{frame.terminator()};
            for (int i = 0; i < count; ++i) {
                const PolygonNode values = NodeOf(shape, random, i);
                expected.push_back(frame.Add(values.depthKey, values.priority));
            }
            std::stable_sort(expected.begin(), expected.end(), DrawnBefore);
            expected.erase(std::find(expected.begin(), expected.end(), frame.terminator()), expected.end());
            frame.Sort();
            EXPECT_EQ(frame.Walk(), expected);
            EXPECT_TRUE(SetIsEmpty(SetB(frame.table())));
        }
    }
}

// The operations on the global record, with the fake GL library loaded.
class OrderTableOperationsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scoped_.fake.AddLibrary("opengl32.dll", platform::FakeGLExports());
        ASSERT_EQ(OpenGLLib::Load("opengl32.dll"), 0);
        platform::FakeGLReset();
        savedMode_ = gAquarium.mode;
        gAquarium.polygonTable[DRAWN_TYPE] = RecordDraw;
        gAquarium.polygonTable[UNDRAWN_TYPE] = NoOperation<PolygonFunction>();
        visited.clear();
        visitedBuckets.clear();
        drawStateSeen.clear();
    }

    void TearDown() override
    {
        gAquarium.polygonTable[DRAWN_TYPE] = nullptr;
        gAquarium.polygonTable[UNDRAWN_TYPE] = nullptr;
        gAquarium.mode = savedMode_;
        gAquarium.currentObject = nullptr;
        OpenGLLib::Free();
    }

    // Reset, producers, sort and draw as the objects of an ObjectList do them.
    void RunFrame(std::deque<PolygonNode>& nodes)
    {
        gAquarium.currentObject = &gOrderTableReset;
        OrderTableReset::Swim();
        for (PolygonNode& node : nodes)
            OrderTableAppend(SetA(gAquarium.orderTable),
                             LAST_BUCKET - static_cast<int>(node.depthKey & 0xFF), &node);
        gAquarium.currentObject = &gOrderTableSort;
        OrderTableSort::Swim();
        gAquarium.currentObject = &gOrderTableDraw;
        OrderTableDraw::Swim();
    }

    platform::ScopedFakeBackend scoped_;

private:
    std::int32_t savedMode_ = 0;
};

TEST_F(OrderTableOperationsTest, FrameDrawsThroughThePolygonTableWithFreshDrawState)
{
    gAquarium.mode = 0;
    gDrawState = 0x55;
    std::deque<PolygonNode> nodes{{nullptr, DRAWN_TYPE, 10, 1},
                                  {nullptr, UNDRAWN_TYPE, 20, 1},
                                  {nullptr, DRAWN_TYPE, 30, 1}};

    RunFrame(nodes);

    EXPECT_EQ(visited, (std::vector<PolygonNode*>{&nodes[2], &nodes[0]}));
    EXPECT_EQ(drawStateSeen, (std::vector<std::uintptr_t>{0, 1}));
    EXPECT_TRUE(platform::FakeGLCalls().empty());
}

TEST_F(OrderTableOperationsTest, OpenGLModeDrawsInsideOneTriangleBatch)
{
    gAquarium.mode = 1;
    std::deque<PolygonNode> nodes{{nullptr, DRAWN_TYPE, 10, 1}};

    RunFrame(nodes);

    EXPECT_EQ(platform::FakeGLCalls(), (std::vector<std::string>{"glBegin(0x4)", "glEnd()"}));
    EXPECT_EQ(visited, std::vector<PolygonNode*>{&nodes[0]});
}

}  // namespace
