// What the batched mesh swims are handed for one call: the view, the lights
// of the current light list in their order, and where to append. Filled by
// render/geometry_batch.cpp; read by the per-instruction-set files, which
// see plain data only.
#pragma once

#include <cstdint>

class Vector;
struct Cell;

// One light the batched lighting evaluates, as the light table's operation
// for it would.
struct BatchLight {
    enum Kind : std::int32_t { DISTANT, POINT, SPOT };
    Kind kind;
    bool skippedByMask;  // static flag AND static-light mask is not 0
    bool addsToStatic;   // static flag is 1: the cached sum
    float colour[3];
    float intensity, range, falloff;
    float innerCone, outerCone;
    float direction[3];
    float position[3];
};

struct BatchFrame {
    static constexpr int MAX_LIGHTS = 32;

    Vector* vector;
    std::uint32_t frame;
    float nearPlane, xScale, yScale, centreX, centreY;
    float clipLeft, clipRight, clipTop, clipBottom;
    float depthKeyScale, half;
    int lightCount;
    bool lightsNeedPosition;  // a point or spot light is among them
    BatchLight lights[MAX_LIGHTS];
};

// Appends cells[0 … count-1], whose depth keys are set, to the ordering
// table in that order.
void AppendBatch(Cell* const* cells, int count);

void SwimRigidSse2(const BatchFrame& frame);
void SwimDeformingSse2(const BatchFrame& frame);
void SwimRigidAvx2(const BatchFrame& frame);
void SwimDeformingAvx2(const BatchFrame& frame);
