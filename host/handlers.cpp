// The operations of every type number, in table order. A type without an
// operation yet holds NoOperation, so that the entries after it keep their
// indices; the zero element ends each list.
#include "host/handlers.h"

#include "host/mainloop.h"
#include "host/systemobjects.h"
#include "image/screenshot.h"
#include "polygon/drawers.h"
#include "scene/scenerecords.h"
#include "scene/vector.h"

namespace {
const SwimFunction NO_SWIM = NoOperation<SwimFunction>();
const LightFunction NO_LIGHT = NoOperation<LightFunction>();
const PolygonFunction NO_POLYGON = NoOperation<PolygonFunction>();
}  // namespace

const SwimFunction SWIM_LIST[] = {
    NO_SWIM,  // placeholder, skipped
    Mainloop::Swim,
    EscapeKey::Swim,
    BufferSwap::Swim,
    FadeScreen::Swim,
    OrderTableReset::Swim,
    OrderTableDraw::Swim,
    Scene::Swim,
    PluginRunner::Swim,
    NO_SWIM,  // 9
    Clock::Swim,
    OrderTableSort::Swim,
    NO_SWIM,  // 12
    Vector::SwimRigid,
    Vector::SwimDeforming,
    NO_SWIM,  // 15
    TimelineCarrier::Swim,
    NO_SWIM,  // 17
    NO_SWIM,  // 18
    Screenshot::Swim,
    ClearScreen::Swim,
    NO_SWIM,  // 21
    NO_SWIM,  // 22
    NO_SWIM,  // 23
    NO_SWIM,  // 24
    MessagePump::Swim,
    nullptr,
};

const LightFunction LIGHT_LIST[] = {
    NO_LIGHT,  // placeholder, skipped
    Light::ShadeDistant,
    Light::ShadePoint,
    Light::ShadeSpot,
    nullptr,
};

// 1 to 6 have no drawer; nothing makes text blocks (13).
const PolygonFunction POLYGON_LIST[] = {
    NO_POLYGON,  // placeholder, skipped
    NO_POLYGON, NO_POLYGON, NO_POLYGON, NO_POLYGON, NO_POLYGON, NO_POLYGON,
    DrawOpaque,
    DrawOpaqueMapped,
    DrawBlended,
    DrawAdditiveMapped,
    DrawBlendedMapped,
    DrawSprite,
    NO_POLYGON,
    DrawAdditive,
    nullptr,
};
