// The ordering table's frame: reset with its terminator, producers append,
// radix sort, drawing walk; and the operations of the three system objects
// that drive it. Drawing runs with the GL context current.
#include "host/ordertable.h"

#include <GL/gl.h>

#include "host/aquarium.h"
#include "host/opengllib.h"
#include "host/systemobjects.h"

std::uintptr_t gDrawState = 0;

namespace {

constexpr int LAST_BUCKET = ORDER_TABLE_BUCKETS - 1;
constexpr std::uint32_t DIGIT_MASK = 0xFF;
// On the OpenGL path the triangle drawers share one glBegin(GL_TRIANGLES).
constexpr std::int32_t OPENGL_MODE = 1;

void ClearSet(BucketSet set)
{
    for (int bucket = 0; bucket < ORDER_TABLE_BUCKETS; ++bucket) {
        set.heads[bucket] = EMPTY_BUCKET;
        set.tails[bucket] = &set.heads[bucket];
    }
}

// Which of a node's values orders it in a pass.
enum class SortDigit { KeyBits8, KeyBits16, KeyBits24, Priority };

std::uint32_t DigitOf(const PolygonNode& node, SortDigit digit)
{
    switch (digit) {
    case SortDigit::KeyBits8:
        return (node.depthKey >> 8) & DIGIT_MASK;
    case SortDigit::KeyBits16:
        return (node.depthKey >> 16) & DIGIT_MASK;
    case SortDigit::KeyBits24:
        return (node.depthKey >> 24) & DIGIT_MASK;
    case SortDigit::Priority:
        break;
    }
    return node.priority & DIGIT_MASK;
}

// Moves one source bucket, head to tail, to the target buckets; larger digits
// go to lower buckets, so that walking upward draws them first.
void MoveBucket(BucketSet source, int bucket, BucketSet target, SortDigit digit)
{
    PolygonNode* node = source.heads[bucket];
    for (;;) {
        // Appending elsewhere rewrites the link the walk follows: read it first.
        PolygonNode* const next = node->next;
        const bool last = IsBucketTail(source, bucket, node);
        OrderTableAppend(target, LAST_BUCKET - static_cast<int>(DigitOf(*node, digit)), node);
        if (last)
            return;
        node = next;
    }
}

// The Aquarium's table is all zero until its first reset: a null head is an
// empty bucket as well.
bool IsEmptyBucket(const PolygonNode* head) { return head == EMPTY_BUCKET || head == nullptr; }

// One stable pass; the target set is empty before it, the source set after it.
void SortPass(BucketSet source, BucketSet target, SortDigit digit)
{
    for (int bucket = 0; bucket < ORDER_TABLE_BUCKETS; ++bucket) {
        if (!IsEmptyBucket(source.heads[bucket]))
            MoveBucket(source, bucket, target, digit);
    }
    ClearSet(source);
}

// Walks one bucket; false when a null node or the terminator ended the walk.
bool WalkBucket(BucketSet set, int bucket, PolygonVisit visit)
{
    for (PolygonNode* node = set.heads[bucket];; node = node->next) {
        if (node == nullptr || node->type == 0)
            return false;
        visit(bucket, node);
        if (IsBucketTail(set, bucket, node))
            return true;
    }
}

void DrawNode(std::int32_t bucket, PolygonNode* node)
{
    CallTableEntry(gAquarium.polygonTable, node->type, bucket, node);
}

}  // namespace

void OrderTableStart(OrderTable& table, PolygonNode* terminator)
{
    ClearSet(SetA(table));
    ClearSet(SetB(table));
    OrderTableAppend(SetA(table), LAST_BUCKET, terminator);
}

void OrderTableSortPasses(OrderTable& table)
{
    SortPass(SetA(table), SetB(table), SortDigit::KeyBits8);
    SortPass(SetB(table), SetA(table), SortDigit::KeyBits16);
    SortPass(SetA(table), SetB(table), SortDigit::KeyBits24);
    SortPass(SetB(table), SetA(table), SortDigit::Priority);
}

void OrderTableWalk(OrderTable& table, PolygonVisit visit)
{
    const BucketSet set = SetA(table);
    for (int bucket = 0; bucket < ORDER_TABLE_BUCKETS; ++bucket) {
        if (set.heads[bucket] != EMPTY_BUCKET && !WalkBucket(set, bucket, visit))
            return;
    }
}

void OrderTableReset::Swim()
{
    OrderTableReset* const reset = static_cast<OrderTableReset*>(gAquarium.currentObject);
    OrderTableStart(gAquarium.orderTable, &reset->terminator);
}

void OrderTableSort::Swim() { OrderTableSortPasses(gAquarium.orderTable); }

void OrderTableDraw::Swim()
{
    gDrawState = 0;
    const bool oneTriangleBatch = gAquarium.mode == OPENGL_MODE;
    if (oneTriangleBatch)
        OpenGLLib::glBegin(GL_TRIANGLES);
    OrderTableWalk(gAquarium.orderTable, DrawNode);
    if (oneTriangleBatch)
        OpenGLLib::glEnd();
}
