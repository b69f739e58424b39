// The ordering table's frame: reset with its terminator, producers append,
// radix sort, drawing walk; and the operations of the three system objects
// that drive it. Drawing runs with the GL context current.
#include "host/ordertable.h"

#include <GL/gl.h>

#include <cstddef>
#include <cstring>
#include <utility>

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

// The Aquarium's table is all zero until its first reset: a null head is an
// empty bucket as well.
bool IsEmptyBucket(const PolygonNode* head) { return head == EMPTY_BUCKET || head == nullptr; }

// Walks the source chains of a pass ahead of it, a node a step, so that their
// nodes are in the cache when the pass moves them. Each chain is a dependent
// walk, a cache miss a node on a large table; scouting several chains at once
// lets their misses overlap. Scouts only read, so the pass moves the nodes as
// it would without them; their reach is bounded so that what they fetch is
// still cached when its turn comes.
class ChainScouts {
public:
    // Scouting pays only once the nodes outgrow the cache; a table that
    // small is moved without it. moved: the nodes an earlier pass moved.
    ChainScouts(BucketSet source, std::size_t moved) : source_(source), moved_(moved) {}

    // The scouts' turn after the pass moved a node of bucket moving.
    void Advance(int moving)
    {
        if (++moved_ < SCOUTED_TABLE)
            return;
        for (int step = 0; step < STEPS_A_NODE; ++step)
            Step(moving);
    }

    std::size_t Moved() const { return moved_; }

private:
    static constexpr std::size_t SCOUTED_TABLE = 8192;  // nodes
    static constexpr int SCOUTS = 12;
    static constexpr int STEPS_A_NODE = 2;  // scouts outrun the pass, which must not catch them
    static constexpr int REACH = 24;        // buckets beyond the one being moved

    struct Scout {
        PolygonNode* node = nullptr;   // touched, not yet passed; null: free
        PolygonNode** tail = nullptr;  // its chain's tail slot
    };

    // The node's header may straddle two cache lines.
    static void Touch(const PolygonNode* node)
    {
        __builtin_prefetch(node);
        __builtin_prefetch(reinterpret_cast<const char*>(node + 1) - 1);
    }

    void Step(int moving)
    {
        Scout& scout = scouts_[turn_];
        turn_ = (turn_ + 1) % SCOUTS;
        if (scout.node == nullptr) {
            Assign(scout, moving);
        } else if (&scout.node->next == scout.tail) {
            scout.node = nullptr;
        } else {
            scout.node = scout.node->next;
            Touch(scout.node);
        }
    }

    void Assign(Scout& scout, int moving)
    {
        if (next_ <= moving)
            next_ = moving + 1;
        for (; next_ < ORDER_TABLE_BUCKETS && next_ <= moving + REACH; ++next_) {
            PolygonNode* const head = source_.heads[next_];
            if (IsEmptyBucket(head))
                continue;
            scout.node = head;
            scout.tail = source_.tails[next_];
            Touch(head);
            ++next_;
            return;
        }
    }

    BucketSet source_;
    std::size_t moved_;
    Scout scouts_[SCOUTS];
    int turn_ = 0;
    int next_ = 0;  // the first bucket no scout has taken
};

// Moves one source bucket, head to tail, to the target buckets; larger digits
// go to lower buckets, so that walking upward draws them first.
void MoveBucket(BucketSet source, int bucket, BucketSet target, SortDigit digit, ChainScouts& scouts)
{
    PolygonNode* node = source.heads[bucket];
    for (;;) {
        // Appending elsewhere rewrites the link the walk follows: read it first.
        PolygonNode* const next = node->next;
        const bool last = IsBucketTail(source, bucket, node);
        OrderTableAppend(target, LAST_BUCKET - static_cast<int>(DigitOf(*node, digit)), node);
        scouts.Advance(bucket);
        if (last)
            return;
        node = next;
    }
}

// One stable pass; the target set is empty before it, the source set after it.
// Returns the nodes moved; moved is what the pass before moved (0 for none).
std::size_t SortPass(BucketSet source, BucketSet target, SortDigit digit, std::size_t moved)
{
    ChainScouts scouts(source, moved);
    for (int bucket = 0; bucket < ORDER_TABLE_BUCKETS; ++bucket) {
        if (!IsEmptyBucket(source.heads[bucket]))
            MoveBucket(source, bucket, target, digit, scouts);
    }
    ClearSet(source);
    return scouts.Moved() - moved;
}

// Tables of up to ARRAY_CAPACITY nodes are sorted as an array: one walk
// gathers every node with its whole sort key, four counting passes order the
// contiguous keys, and one pass relinks the nodes into set A. The walk is the
// only chase of dependent links, where the list passes make four; the order
// is the same node for node, since the producers' buckets already ordered
// the walk by the lowest key byte. Larger tables take the list passes.
class ArraySort {
public:
    // False, with the table untouched, when it holds more nodes than fit.
    bool Sort(OrderTable& table)
    {
        if (!Gather(SetA(table)))
            return false;
        for (int digit = 0; digit < DIGITS; ++digit) {
            if (CountingPass(keys_, spare_, digit))
                std::swap(keys_, spare_);
        }
        Relink(table);
        return true;
    }

private:
    static constexpr std::size_t ARRAY_CAPACITY = std::size_t{1} << 16;
    static constexpr std::size_t RELINK_AHEAD = 16;
    static constexpr int DIGITS = 4;  // of 8 bits, the lowest first

    struct Key {
        std::uint32_t value;  // priority, then depth key bits 8 to 31
        std::uint32_t node;   // index into nodes_
    };

    // The bucket of a key's digit in a pass: larger digits first.
    static int BucketOf(std::uint32_t value, int digit)
    {
        return LAST_BUCKET - static_cast<int>((value >> (8 * digit)) & DIGIT_MASK);
    }

    bool Gather(BucketSet set)
    {
        count_ = 0;
        std::memset(counts_, 0, sizeof counts_);
        ChainScouts scouts(set, 0);
        for (int bucket = 0; bucket < ORDER_TABLE_BUCKETS; ++bucket) {
            if (IsEmptyBucket(set.heads[bucket]))
                continue;
            for (PolygonNode* node = set.heads[bucket];; node = node->next) {
                if (count_ == ARRAY_CAPACITY)
                    return false;
                nodes_[count_] = node;
                const std::uint32_t value = (node->priority & DIGIT_MASK) << 24 | node->depthKey >> 8;
                keys_[count_] = Key{value, static_cast<std::uint32_t>(count_)};
                for (int digit = 0; digit < DIGITS; ++digit)
                    ++counts_[digit][BucketOf(value, digit)];
                ++count_;
                scouts.Advance(bucket);
                if (IsBucketTail(set, bucket, node))
                    break;
            }
        }
        return true;
    }

    // One stable pass by a digit, counted by the walk; false, with nothing
    // moved, when every key has the same digit there.
    bool CountingPass(const Key* from, Key* to, int digit)
    {
        std::uint32_t* const starts = counts_[digit];
        if (count_ == 0 || starts[BucketOf(from[0].value, digit)] == count_)
            return false;
        std::uint32_t start = 0;
        for (int bucket = 0; bucket < ORDER_TABLE_BUCKETS; ++bucket)
            start += std::exchange(starts[bucket], start);
        for (std::size_t i = 0; i < count_; ++i)
            to[starts[BucketOf(from[i].value, digit)]++] = from[i];
        return true;
    }

    void Relink(OrderTable& table) const
    {
        ClearSet(SetA(table));
        ClearSet(SetB(table));
        for (std::size_t i = 0; i < count_; ++i) {
            // The links written are scattered over the table: ask for them early.
            if (i + RELINK_AHEAD < count_)
                __builtin_prefetch(&nodes_[keys_[i + RELINK_AHEAD].node]->next, 1);
            OrderTableAppend(SetA(table), BucketOf(keys_[i].value, DIGITS - 1), nodes_[keys_[i].node]);
        }
    }

    PolygonNode* nodes_[ARRAY_CAPACITY];
    Key first_[ARRAY_CAPACITY], second_[ARRAY_CAPACITY];
    Key* keys_ = first_;
    Key* spare_ = second_;
    std::size_t count_ = 0;
    std::uint32_t counts_[DIGITS][ORDER_TABLE_BUCKETS] = {};  // keys of each digit's buckets
};

ArraySort gArraySort;  // static storage: sorting allocates nothing

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
    if (gArraySort.Sort(table))
        return;
    const std::size_t nodes = SortPass(SetA(table), SetB(table), SortDigit::KeyBits8, 0);
    SortPass(SetB(table), SetA(table), SortDigit::KeyBits16, nodes);
    SortPass(SetA(table), SetB(table), SortDigit::KeyBits24, nodes);
    SortPass(SetB(table), SetA(table), SortDigit::Priority, nodes);
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
