// The icon as a chase camera sees the race: behind and above the hero's
// craft, the causeway running ahead beside the wall into the dusk. The sky
// and the set stay on the tile; the craft, drawn last, may break out of it.
#include "tools/datagen/show/icon.h"

#include <algorithm>
#include <cmath>

#include "tools/datagen/builders/canvas.h"
#include "tools/datagen/builders/craft.h"
#include "tools/datagen/show/bigwall.h"
#include "tools/datagen/show/library.h"

namespace {

constexpr int SUPERSAMPLE = 4;
constexpr float MARGIN = 0.04f;  // of the side, clear around the tile
constexpr float CORNER = 0.2f;   // the tile's corner radius, of the side
const CanvasView CHASE{{-2.2f, 4.0f, -14.0f}, {0.8f, 0.7f, 8.0f}, 0.7f};
const Vec3 TOWARD_LIGHT{-0.5f, 0.8f, -0.4f};  // over the camera's shoulder, so the craft's back is lit
constexpr float SET_BEHIND = 60.0f;  // the stretch starts this far behind the craft
constexpr float EXHAUST_GLOW = 1.1f;

bool OnTile(float u, float v)
{
    const float half = 0.5f - MARGIN - CORNER;
    const float dx = std::fmax(std::fabs(u - 0.5f) - half, 0.0f);
    const float dy = std::fmax(std::fabs(v - 0.5f) - half, 0.0f);
    return dx * dx + dy * dy <= CORNER * CORNER;
}

// The dusk sky down to the horizon where the eye sees it, the valley's haze below.
Picture DuskBackdrop(const Canvas& canvas)
{
    float u = 0.0f, horizon = 0.5f;
    canvas.Project(CHASE.eye + Vec3{0.0f, 0.0f, 1.0e5f}, u, horizon);
    const Picture sky = BigWall::SkyPicture();
    Picture backdrop(64, 64);
    backdrop.Paint([&](float, float v) {
        if (v > horizon)
            return Mix(sky.At(0, sky.height - 1), Colour{0.12f, 0.09f, 0.16f}, Clamp01((v - horizon) * 6.0f));
        return sky.At(0, std::min(sky.height - 1, static_cast<int>(v / horizon * static_cast<float>(sky.height))));
    });
    return backdrop;
}

}  // namespace

std::vector<std::uint8_t> ShowIcon(int side)
{
    Canvas canvas(side, side, SUPERSAMPLE, CHASE, TOWARD_LIGHT);
    canvas.Backdrop(DuskBackdrop(canvas));
    const CraftStyle hero = Library::CraftStyleOf(Library::HERO);
    std::vector<Band> bands;
    const CanvasMaps maps = {{BigWall::SURFACES, BigWall::Surfaces(bands)},
                             {hero.livery, Library::CraftLiveryOf(Library::HERO)}};
    const Mesh stretch = BigWall::Stretch();
    Mesh set;
    for (const VECTOR_FILE_Material& material : stretch.Materials())
        set.AddMaterial(material);
    Placement behind;
    behind.position = {0.0f, 0.0f, -SET_BEHIND};
    set.Append(stretch, behind);
    canvas.DrawSolid(set, maps);
    canvas.Keep(OnTile);
    const Mesh craft = BuildCraft(hero);
    canvas.DrawSolid(craft, maps);
    canvas.DrawSeeThrough(craft, maps);
    for (const int exhaust : {-1, 1})
        canvas.Glow(CraftExhaust(exhaust), EXHAUST_GLOW, hero.exhaust);
    return canvas.Rgba();
}
