// Cells per second through the near-plane clippers, half of them with one
// corner behind the plane (two triangles out), half with two (one out).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "scene/vector.h"

namespace {

constexpr std::size_t CELLS = 1024;

// The corners behind the plane z = 1 carry behind flag 1, as the mesh stage leaves them.
struct ClipScene {
    ClipScene() : atoms(3 * CELLS), cells(CELLS)
    {
        for (std::size_t i = 0; i < CELLS; ++i) {
            const float far = 2.0f + static_cast<float>(i % 7);
            const float z[3] = {0.5f, i % 2 == 0 ? far : 0.25f, far + 1.0f};
            for (std::size_t k = 0; k < 3; ++k) {
                Atom& atom = atoms[3 * i + k];
                atom.camera[0] = static_cast<float>(k);
                atom.camera[1] = static_cast<float>(i % 5);
                atom.camera[2] = z[k];
                atom.behind = z[k] < 1.0f ? 1 : 0;
                cells[i].corners[k] = &atom;
            }
        }
    }

    std::vector<Atom> atoms;
    std::vector<Cell> cells;
};

template <int (*CLIP)(const Cell&, Cell::ClipCells&, Cell::ClipAtoms&)>
void ClipCells(benchmark::State& state)
{
    const ClipScene scene;
    Cell::ClipCells out;
    Cell::ClipAtoms work;
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CLIP(scene.cells[next], out, work));
        benchmark::ClobberMemory();
        next = (next + 1) % CELLS;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_ClipNear(benchmark::State& state) { ClipCells<Cell::ClipNear>(state); }
void BM_ClipNearMapped(benchmark::State& state) { ClipCells<Cell::ClipNearMapped>(state); }

}  // namespace

BENCHMARK(BM_ClipNear);
BENCHMARK(BM_ClipNearMapped);

BENCHMARK_MAIN();
