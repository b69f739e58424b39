// The shared library of the show: the three racing craft in their liveries,
// the flare sprites and the chrome map.
#include "tools/datagen/builders/craft.h"
#include "tools/datagen/builders/textures.h"
#include "tools/datagen/show/acts.h"
#include "tools/datagen/show/library.h"

namespace {

struct Team {
    const char* livery;
    Colour paint, stripe, trim, exhaust;
};

const Team TEAMS[Library::CRAFT_COUNT] = {
    {"data\\common\\pictures\\livery_red.tga", {0.8f, 0.1f, 0.08f}, {0.95f, 0.95f, 0.9f}, {0.1f, 0.1f, 0.1f},
     {1.0f, 0.5f, 0.15f}},
    {"data\\common\\pictures\\livery_blue.tga", {0.1f, 0.25f, 0.8f}, {0.9f, 0.8f, 0.2f}, {0.9f, 0.9f, 0.9f},
     {0.3f, 0.6f, 1.0f}},
    {"data\\common\\pictures\\livery_yellow.tga", {0.9f, 0.75f, 0.1f}, {0.1f, 0.1f, 0.1f}, {0.8f, 0.2f, 0.1f},
     {0.6f, 1.0f, 0.4f}},
};

bool WriteCraft(const std::string& root)
{
    for (int i = 0; i < Library::CRAFT_COUNT; ++i) {
        const CraftStyle style = Library::CraftStyleOf(i);
        if (!WritePicture(root, style.livery, Library::CraftLiveryOf(i), Form::TGA24) ||
            !WriteMesh(root, Library::CRAFT[i], BuildCraft(style)))
            return false;
    }
    return true;
}

bool WriteSprites(const std::string& root)
{
    const Colour white{1.0f, 1.0f, 1.0f};
    return WritePicture(root, Library::GLOW, GlowSprite(64, white), Form::TGA24_TOP) &&
           WritePicture(root, Library::STAR, GlowSprite(128, white, 4), Form::TGA24_TOP) &&
           WritePicture(root, Library::HALO, GlowSprite(128, white, 6, 0.6f), Form::TGA24_RLE) &&
           WritePicture(root, Library::EMBER, GlowSprite(32, {1.0f, 0.6f, 0.25f}), Form::TGA16) &&
           WritePicture(root, Library::CHROME,
                        ChromeMap(128, {0.25f, 0.45f, 0.85f}, {1.0f, 0.9f, 0.75f}, {0.25f, 0.18f, 0.12f}), Form::JPEG);
}

bool WriteBackdrop(const std::string& root)
{
    Mesh nebula;
    const std::uint32_t clouds = nebula.AddMaterial(Surface::ShiningMapped(Library::NEBULA_PICTURE));
    const float w = 900.0f, h = 680.0f, z = 700.0f;
    nebula.AddQuad(nebula.AddVertex({-w, -h, z}), nebula.AddVertex({-w, h, z}), nebula.AddVertex({w, h, z}), nebula.AddVertex({w, -h, z}),
                   clouds);
    return WriteMesh(root, Library::NEBULA, nebula) &&
           WritePicture(root, Library::NEBULA_PICTURE, Nebula(256, {0.35f, 0.15f, 0.6f}, {0.1f, 0.4f, 0.7f}, 12), Form::JPEG);
}

}  // namespace

bool WriteCommon(const std::string& root) { return WriteCraft(root) && WriteSprites(root) && WriteBackdrop(root); }

CraftStyle Library::CraftStyleOf(int craft)
{
    CraftStyle style;
    style.livery = TEAMS[craft].livery;
    style.exhaust = TEAMS[craft].exhaust;
    return style;
}

Picture Library::CraftLiveryOf(int craft)
{
    const Team& team = TEAMS[craft];
    return CraftLivery(team.paint, team.stripe, team.trim);
}

Picture Library::PitsPicture(std::vector<Band>& bands)
{
    Picture frame(256, 64);
    frame.Paint([](float, float) { return Colour{0.32f, 0.32f, 0.35f}; });
    return Stack({Facade(256, 128, 8, 3, 0.55f, 21), Cropped(Plates(256, {0.55f, 0.58f, 0.6f}, {0.2f, 0.2f, 0.22f}, 8), 64), frame},
                 bands);
}
