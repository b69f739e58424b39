// The global record as a filled 640 × 480 Aquarium leaves it for the mesh
// stage and the drawers: view parameters, the light and polygon tables, and
// an ordering table reset for a new frame. No window or GL context needed.
#pragma once

#include "host/aquarium.h"
#include "host/handlers.h"
#include "host/ordertable.h"

namespace test_support {

constexpr float VIEW_SCALE = 768.0f;  // 640 × 384 / 320

template <typename Function>
void CopyHandlers(Function* table, const Function* list)
{
    for (int i = 1; list[i] != nullptr; ++i)
        table[i] = list[i];
}

inline void SetUpRenderStage()
{
    gAquarium.width = 640;
    gAquarium.height = 480;
    gAquarium.centreX = 320.0f;
    gAquarium.centreY = 240.0f;
    gAquarium.xScale = VIEW_SCALE;
    gAquarium.yScale = -VIEW_SCALE;
    gAquarium.clipLeft = 0.0f;
    gAquarium.clipRight = 639.0f;
    gAquarium.clipTop = 0.0f;
    gAquarium.clipBottom = 479.0f;
    gAquarium.nearPlane = 1.0f;
    gAquarium.depthKeyScale = 2147483648.0f;
    CopyHandlers(gAquarium.lightTable, LIGHT_LIST);
    CopyHandlers(gAquarium.polygonTable, POLYGON_LIST);
}

// The next frame: a fresh frame number and an ordering table holding only terminator.
inline void StartFrame(PolygonNode* terminator)
{
    ++gAquarium.frameCounter;
    OrderTableStart(gAquarium.orderTable, terminator);
}

}  // namespace test_support
