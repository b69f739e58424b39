// The ordering table against a comparison sort: one frame's nodes inserted by
// their lowest key byte and radix-sorted, against std::stable_sort of the
// same nodes in the same insertion order by priority and depth key.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "host/ordertable.h"
#include "scene/vector.h"

namespace {

constexpr int LAST_BUCKET = ORDER_TABLE_BUCKETS - 1;

// A node alone, without the cell around it.
struct Header {
    PolygonNode node;
};

// Nodes as a mesh stage leaves them: depth keys of reciprocal depths between
// 1/100 and 1, one in five translucent. Record is Cell or Header.
template <class Record>
std::vector<Record> MakeNodes(std::int64_t count)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> depth(1.0f, 100.0f);
    std::vector<Record> records(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].node.depthKey = static_cast<std::uint32_t>(2147483648.0f / depth(random));
        records[i].node.priority = i % 5 == 0 ? DrawMode::TRANSLUCENT_PRIORITY : DrawMode::SOLID_PRIORITY;
    }
    return records;
}

template <class Record>
void BM_OrderTableSort(benchmark::State& state)
{
    std::vector<Record> records = MakeNodes<Record>(state.range(0));
    std::unique_ptr<OrderTable> table(new OrderTable);
    PolygonNode terminator;
    for (auto _ : state) {
        OrderTableStart(*table, &terminator);
        for (Record& record : records)
            OrderTableAppend(SetA(*table), LAST_BUCKET - static_cast<int>(record.node.depthKey & 0xFF),
                             &record.node);
        OrderTableSortPasses(*table);
        benchmark::DoNotOptimize(table->headsA[0]);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

bool DrawnBefore(const PolygonNode* left, const PolygonNode* right)
{
    if (left->priority != right->priority)
        return left->priority > right->priority;
    return left->depthKey > right->depthKey;
}

template <class Record>
void BM_StableSort(benchmark::State& state)
{
    std::vector<Record> records = MakeNodes<Record>(state.range(0));
    std::vector<PolygonNode*> inserted;
    for (Record& record : records)
        inserted.push_back(&record.node);
    std::vector<PolygonNode*> order(inserted.size());
    for (auto _ : state) {
        std::copy(inserted.begin(), inserted.end(), order.begin());
        std::stable_sort(order.begin(), order.end(), DrawnBefore);
        benchmark::DoNotOptimize(order.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK_TEMPLATE(BM_OrderTableSort, Cell)->Arg(1000)->Arg(50000);
BENCHMARK_TEMPLATE(BM_StableSort, Cell)->Arg(1000)->Arg(50000);
BENCHMARK_TEMPLATE(BM_OrderTableSort, Header)->Arg(1000)->Arg(50000);
BENCHMARK_TEMPLATE(BM_StableSort, Header)->Arg(1000)->Arg(50000);

BENCHMARK_MAIN();
