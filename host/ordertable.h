// The ordering table: 256 buckets in two sets through which every polygon of a
// frame is radix-sorted by priority and depth before it is drawn. Polygon
// nodes are linked through their first field.
#pragma once

#include <cstdint>

struct PolygonNode {
    PolygonNode* next = nullptr;  // next node of the bucket; not terminated, see tails
    std::int32_t type = 0;        // index into the polygon table; 0 ends a walk
    std::uint32_t depthKey = 0;   // larger keys are drawn first
    std::uint32_t priority = 0;   // 0 to 255; higher priorities are drawn first
};

constexpr int ORDER_TABLE_BUCKETS = 256;

// Head value of an empty bucket.
inline PolygonNode* const EMPTY_BUCKET = reinterpret_cast<PolygonNode*>(~std::uintptr_t{0});

// The two bucket sets, fields in the order of the Aquarium record. A tail is
// the link slot that the next append writes: the head slot while the bucket is
// empty, else the next field of its last node.
struct OrderTable {
    PolygonNode* headsA[ORDER_TABLE_BUCKETS];   // where producers append and the sort ends
    PolygonNode* headsB[ORDER_TABLE_BUCKETS];   // scratch set of the sort passes
    PolygonNode** tailsA[ORDER_TABLE_BUCKETS];
    PolygonNode** tailsB[ORDER_TABLE_BUCKETS];
};

// One set of the table seen as heads and tails.
struct BucketSet {
    PolygonNode** heads;
    PolygonNode*** tails;
};

inline BucketSet SetA(OrderTable& table) { return {table.headsA, table.tailsA}; }
inline BucketSet SetB(OrderTable& table) { return {table.headsB, table.tailsB}; }

// Appends node to bucket of set. Producers use bucket 255 - (depthKey & 0xFF) of set A.
inline void OrderTableAppend(BucketSet set, int bucket, PolygonNode* node)
{
    *set.tails[bucket] = node;
    set.tails[bucket] = &node->next;
}

// True when node is the last node of bucket.
inline bool IsBucketTail(BucketSet set, int bucket, const PolygonNode* node)
{
    return set.tails[bucket] == &node->next;
}

// Shared GL state of the triangle drawers: the material whose state is set
// up, as a pointer value; 0 = none set this frame.
extern std::uintptr_t gDrawState;

// Empties both sets, then makes terminator the only node of set A bucket 255.
void OrderTableStart(OrderTable& table, PolygonNode* terminator);

// Stable radix sort of set A by depth key bits 8 to 31, then priority, each
// descending; producers appended by bits 0 to 7. Leaves set B empty.
void OrderTableSortPasses(OrderTable& table);

// Called for each drawn node with its set A bucket.
using PolygonVisit = void (*)(std::int32_t bucket, PolygonNode* node);

// Visits set A bucket by bucket, each from head to tail, until a null node or
// a node of type 0 (the terminator) ends the walk.
void OrderTableWalk(OrderTable& table, PolygonVisit visit);
