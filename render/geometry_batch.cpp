// The choice of path for the mesh swims, and what the batched paths read of
// the Aquarium: the view, the current light list as the light table would
// evaluate it, and the ordering table. A light list the batches cannot
// evaluate exactly (an entry of the light table that is not one of the three
// light operations, or more lights than they hold) sends the call to the
// scalar path.
#include "render/geometry_batch.h"

#include "host/aquarium.h"
#include "render/batch_swim.h"
#include "render/matrix.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"

namespace {

using BatchSwim = void (*)(const BatchFrame& frame);

struct PathSwims {
    BatchSwim rigid;
    BatchSwim deforming;
};

#if defined(__x86_64__)
constexpr PathSwims PATH_SWIMS[] = {
    {nullptr, nullptr},
    {SwimRigidSse2, SwimDeformingSse2},
    {SwimRigidAvx2, SwimDeformingAvx2},
};
#else
constexpr PathSwims PATH_SWIMS[] = {{nullptr, nullptr}, {nullptr, nullptr}, {nullptr, nullptr}};
#endif

GeometryPath gPath = BestGeometryPath();

const PathSwims& CurrentSwims() { return PATH_SWIMS[static_cast<int>(gPath)]; }

// The batched kind of a light table entry; false for an operation of its own.
bool KindOf(LightFunction entry, BatchLight::Kind& kind)
{
    if (entry == Light::ShadeDistant)
        kind = BatchLight::DISTANT;
    else if (entry == Light::ShadePoint)
        kind = BatchLight::POINT;
    else if (entry == Light::ShadeSpot)
        kind = BatchLight::SPOT;
    else
        return false;
    return true;
}

void CopyLight(const Light& light, BatchLight& to)
{
    to.skippedByMask = (light.isStatic & 1u) != 0;
    to.addsToStatic = light.isStatic == 1;
    to.colour[0] = light.red, to.colour[1] = light.green, to.colour[2] = light.blue;
    to.intensity = light.intensity, to.range = light.range, to.falloff = light.falloff;
    to.innerCone = light.innerConeCosine, to.outerCone = light.outerConeCosine;
    to.direction[0] = light.directionX, to.direction[1] = light.directionY, to.direction[2] = light.directionZ;
    to.position[0] = light.matrix.m[3], to.position[1] = light.matrix.m[7], to.position[2] = light.matrix.m[11];
}

// The lights Light::Accumulate would call, in list order; false when one of
// them is not for the batches. The list does not change during a swim.
bool GatherLights(BatchFrame& frame)
{
    frame.lightCount = 0;
    frame.lightsNeedPosition = false;
    Fish* const* const items = gAquarium.currentLightList.items;
    for (Fish* const* slot = items; slot != nullptr && *slot != nullptr; ++slot) {
        if (*slot == EMPTY_SLOT || !(*slot)->active)
            continue;
        const Light& light = *static_cast<const Light*>(*slot);
        if (light.type < 0 || light.type >= HANDLER_TABLE_SIZE || !IsOperation(gAquarium.lightTable[light.type]))
            continue;
        if (frame.lightCount == BatchFrame::MAX_LIGHTS)
            return false;
        BatchLight& batched = frame.lights[frame.lightCount++];
        if (!KindOf(gAquarium.lightTable[light.type], batched.kind))
            return false;
        CopyLight(light, batched);
        frame.lightsNeedPosition = frame.lightsNeedPosition || batched.kind != BatchLight::DISTANT;
    }
    return true;
}

void CopyView(BatchFrame& frame)
{
    frame.frame = gAquarium.frameCounter;
    frame.nearPlane = gAquarium.nearPlane;
    frame.xScale = gAquarium.xScale, frame.yScale = gAquarium.yScale;
    frame.centreX = gAquarium.centreX, frame.centreY = gAquarium.centreY;
    frame.clipLeft = gAquarium.clipLeft, frame.clipRight = gAquarium.clipRight;
    frame.clipTop = gAquarium.clipTop, frame.clipBottom = gAquarium.clipBottom;
    frame.depthKeyScale = gAquarium.depthKeyScale;
    frame.half = gRenderConstants.half;
}

void Swim(BatchSwim batched, SwimFunction scalar)
{
    BatchFrame frame;
    if (batched == nullptr || !GatherLights(frame)) {
        scalar();
        return;
    }
    SetRenderFloatMode();
    frame.vector = static_cast<Vector*>(gAquarium.currentObject);
    CopyView(frame);
    batched(frame);
}

}  // namespace

bool GeometryPathSupported(GeometryPath path)
{
    if (path == GeometryPath::SCALAR)
        return true;
#if defined(__x86_64__)
    __builtin_cpu_init();
    return path == GeometryPath::SSE2 || (path == GeometryPath::AVX2 && __builtin_cpu_supports("avx2"));
#else
    return false;
#endif
}

GeometryPath BestGeometryPath()
{
    if (GeometryPathSupported(GeometryPath::AVX2))
        return GeometryPath::AVX2;
    return GeometryPathSupported(GeometryPath::SSE2) ? GeometryPath::SSE2 : GeometryPath::SCALAR;
}

bool UseGeometryPath(GeometryPath path)
{
    if (!GeometryPathSupported(path))
        return false;
    gPath = path;
    return true;
}

GeometryPath CurrentGeometryPath() { return gPath; }

void AppendBatch(Cell* const* cells, int count)
{
    const BucketSet set = SetA(gAquarium.orderTable);
    for (int i = 0; i < count; ++i) {
        PolygonNode* const node = &cells[i]->node;
        OrderTableAppend(set, ORDER_TABLE_BUCKETS - 1 - static_cast<int>(node->depthKey & 0xFF), node);
    }
}

void Vector::SwimRigid() { Swim(CurrentSwims().rigid, SwimRigidScalar); }
void Vector::SwimDeforming() { Swim(CurrentSwims().deforming, SwimDeformingScalar); }
