// Cells per second through the two mesh swims, on the path the processor
// takes (batched) and on the scalar reference: a rippled grid that faces the
// eye and fills the screen, so every cell is projected, lit and appended,
// with no light or one light of each kind, flat or smooth.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>

#include "host/aquarium.h"
#include "host/handlers.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"
#include "tools/writers/meshwriter.h"

namespace {

constexpr std::int64_t NO_LIGHT = 0;
constexpr float HALF_WIDTH = 2.0f;
constexpr float HALF_HEIGHT = 1.5f;
constexpr float DEPTH = 5.0f;
constexpr float RIPPLE = 0.2f;

// The 640 × 480 view of a filled Aquarium and the handler tables.
void SetUpView()
{
    gAquarium.width = 640;
    gAquarium.height = 480;
    gAquarium.SetViewFromSize();
    for (int i = 1; LIGHT_LIST[i] != nullptr; ++i)
        gAquarium.lightTable[i] = LIGHT_LIST[i];
}

// Rows × columns quads, two cells each: the most nearly square grid.
void GridShape(std::int64_t cells, int& rows, int& columns)
{
    const int quads = static_cast<int>(cells / 2);
    rows = static_cast<int>(std::sqrt(static_cast<double>(quads)));
    while (quads % rows != 0)
        --rows;
    columns = quads / rows;
}

VECTOR_FILE_Vertex GridVertex(int i, int j, int rows, int columns)
{
    VECTOR_FILE_Vertex vertex;
    vertex.x = HALF_WIDTH * (2.0f * static_cast<float>(i) / static_cast<float>(columns) - 1.0f);
    vertex.y = HALF_HEIGHT * (2.0f * static_cast<float>(j) / static_cast<float>(rows) - 1.0f);
    vertex.z = DEPTH + RIPPLE * std::sin(3.0f * vertex.x) * std::cos(2.0f * vertex.y);
    return vertex;
}

VECTOR_FILE_Face GridFace(std::uint32_t a, std::uint32_t b, std::uint32_t c)
{
    VECTOR_FILE_Face face;
    face.corners[0] = a;
    face.corners[1] = b;
    face.corners[2] = c;
    return face;
}

std::unique_ptr<Vector> MakeGrid(std::int64_t cells, std::uint32_t flags, std::int32_t type)
{
    int rows = 0, columns = 0;
    GridShape(cells, rows, columns);
    MeshContent content;
    for (int j = 0; j <= rows; ++j) {
        for (int i = 0; i <= columns; ++i)
            content.vertices.push_back(GridVertex(i, j, rows, columns));
    }
    const auto at = [columns](int i, int j) { return static_cast<std::uint32_t>(j * (columns + 1) + i); };
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            content.faces.push_back(GridFace(at(i, j), at(i, j + 1), at(i + 1, j)));
            content.faces.push_back(GridFace(at(i + 1, j), at(i, j + 1), at(i + 1, j + 1)));
        }
    }
    VECTOR_FILE_Material material;
    material.flags = flags;
    content.materials = {material};
    const std::vector<std::uint8_t> file = MeshEncode(MeshLayout(content));
    std::unique_ptr<Vector> vector(Vector::Build(file.data(), file.size()));
    if (vector)
        vector->type = type;
    return vector;
}

// A light of kind that reaches most of the grid: the distant one from the
// upper left, the point one in front of the grid, the spot one from the eye
// with a cone that leaves the corners dark and a ramp between.
std::unique_ptr<Light> MakeLight(std::int64_t kind)
{
    std::unique_ptr<Light> light(new Light(static_cast<std::int32_t>(kind)));
    light->directionX = kind == Light::DISTANT ? -0.48f : 0.0f;
    light->directionY = kind == Light::DISTANT ? 0.6f : 0.0f;
    light->directionZ = kind == Light::DISTANT ? -0.64f : 1.0f;
    light->matrix.m[11] = kind == Light::POINT ? 2.0f : 0.0f;
    light->range = 100.0f;
    light->falloff = 0.01f;
    light->innerConeCosine = 0.97f;
    light->outerConeCosine = 0.9f;
    return light;
}

// Arguments: cells, light kind (0 for none), material flags.
void SwimGrid(benchmark::State& state, std::int32_t type, SwimFunction swim)
{
    SetUpView();
    std::unique_ptr<Vector> grid =
        MakeGrid(state.range(0), static_cast<std::uint32_t>(state.range(2)), type);
    std::unique_ptr<Light> light = state.range(1) == NO_LIGHT ? nullptr : MakeLight(state.range(1));
    Fishes lights;
    if (light)
        Fishes::InsertObject(&lights, light.get(), false);
    gAquarium.currentLightList = lights;
    gAquarium.currentObject = grid.get();
    PolygonNode terminator;
    OrderTableStart(gAquarium.orderTable, &terminator);
    for (auto _ : state) {
        // A new frame: every atom is projected again. The table is not
        // walked, so the cells may be appended frame after frame.
        ++gAquarium.frameCounter;
        swim();
        benchmark::DoNotOptimize(grid->cells);
    }
    gAquarium.currentLightList = FishList{};
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(grid->cellCount));
}

void BM_SwimRigid(benchmark::State& state) { SwimGrid(state, Vector::TYPE, Vector::SwimRigid); }
void BM_SwimRigidScalar(benchmark::State& state) { SwimGrid(state, Vector::TYPE, Vector::SwimRigidScalar); }
void BM_SwimDeforming(benchmark::State& state) { SwimGrid(state, Vector::DEFORMING_TYPE, Vector::SwimDeforming); }
void BM_SwimDeformingScalar(benchmark::State& state)
{
    SwimGrid(state, Vector::DEFORMING_TYPE, Vector::SwimDeformingScalar);
}

void GridArguments(benchmark::internal::Benchmark* benchmark)
{
    for (const std::int64_t flags : {std::int64_t{0}, std::int64_t{Material::SMOOTH}}) {
        for (const std::int64_t cells : {1000, 50000}) {
            for (const std::int64_t kind : {NO_LIGHT, std::int64_t{Light::DISTANT}, std::int64_t{Light::POINT},
                                            std::int64_t{Light::SPOT}})
                benchmark->Args({cells, kind, flags});
        }
    }
    benchmark->ArgNames({"cells", "light", "flags"});
}

}  // namespace

BENCHMARK(BM_SwimRigid)->Apply(GridArguments);
BENCHMARK(BM_SwimRigidScalar)->Apply(GridArguments);
BENCHMARK(BM_SwimDeforming)->Apply(GridArguments);
BENCHMARK(BM_SwimDeformingScalar)->Apply(GridArguments);

BENCHMARK_MAIN();
