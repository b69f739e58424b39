// The two interludes. The first: glass panels with pictures of the race
// hang in the dark on a slow carousel and fade in one by one, a light
// sweeping over them. The second: a flight down a tunnel of glowing rings
// toward the city's lights.
#include <cmath>
#include <vector>

#include "tools/datagen/builders/shapes.h"
#include "tools/datagen/builders/textures.h"
#include "tools/datagen/show/acts.h"
#include "tools/datagen/show/interlude.h"
#include "tools/datagen/show/library.h"
#include "tools/datagen/show/shot.h"

namespace {

constexpr const char* CHEQUER = "data\\overlay5\\pictures\\chequer.tga";
constexpr const char* BUMP = "data\\overlay5\\pictures\\honeycomb.tga";
constexpr const char* FROST = "data\\overlay5\\objects\\frost.vob";
constexpr const char* BEAM = "data\\overlay5\\objects\\beam.vob";
constexpr const char* TUNNEL_RING = "data\\overlay5\\objects\\tunnelring.vob";
constexpr const char* RING_PICTURE = "data\\overlay5\\pictures\\ring.tga";
constexpr float CAROUSEL_RADIUS = 16.0f;
constexpr float PANEL_WIDTH = 12.0f, PANEL_HEIGHT = 9.0f;  // the frames' 4:3

constexpr int PANELS = 6;

std::string PanelName(int i) { return "data\\overlay5\\objects\\panel" + std::to_string(i) + ".vob"; }

// A flat panel width x height facing -z, its picture upright.
Mesh Panel(float width, float height, std::uint32_t material)
{
    Mesh mesh;
    const float w = width * 0.5f, h = height * 0.5f;
    const std::uint32_t a = mesh.AddVertex({-w, -h, 0.0f}), b = mesh.AddVertex({-w, h, 0.0f});
    const std::uint32_t c = mesh.AddVertex({w, h, 0.0f}), d = mesh.AddVertex({w, -h, 0.0f});
    // The map's top row at the top and its left on the left, seen from either side.
    mesh.AddQuad(a, b, c, d, material, {0.0f, 1.0f}, {1.0f, 0.0f});
    // The back, so that the carousel shows each panel all the way round.
    mesh.AddQuad(d, c, b, a, material, {1.0f, 1.0f}, {0.0f, 0.0f});
    return mesh;
}

// The panels' pictures: frames of the scenes before, drawn now from the tree.
bool WritePanelPictures(const std::string& root)
{
    std::vector<Picture> pictures;
    if (!DrawSnapshots(root, Interlude::PanelSnapshots(), Interlude::PICTURE_SIDE, pictures))
        return false;
    for (int i = 0; i < PANELS; ++i) {
        if (!WritePicture(root, Interlude::PanelPicture(i), pictures[static_cast<std::size_t>(i)], Form::JPEG))
            return false;
    }
    return true;
}

bool WriteMeshes(const std::string& root)
{
    if (!WritePanelPictures(root))
        return false;
    for (int i = 0; i < PANELS; ++i) {
        Mesh panel;
        const std::string picture = Interlude::PanelPicture(i);
        panel.Append(Panel(PANEL_WIDTH, PANEL_HEIGHT, panel.AddMaterial(Surface::GlassMapped(picture, 0.12f, 0.85f))));
        if (!WriteMesh(root, PanelName(i), panel))
            return false;
    }
    Mesh frost, beam, ring;
    frost.Append(Panel(7.0f, 9.0f, frost.AddMaterial(Surface::WithBump(Surface::Glass({0.6f, 0.8f, 1.0f}, 0.6f, 0.3f), BUMP))));
    AddLathe(beam, {{0.0f, -40.0f}, {5.0f, -38.0f}, {0.6f, 0.0f}, {0.0f, 0.2f}}, 10, beam.AddMaterial(Surface::Glow({0.5f, 0.6f, 1.0f}, 0.05f)),
             false);
    ring.Append(Panel(16.0f, 16.0f, ring.AddMaterial(Surface::GlowMapped(RING_PICTURE, 0.5f))));
    Picture ringPicture(128, 128);
    ringPicture.Paint([](float u, float v) {
        const float r = std::sqrt((u - 0.5f) * (u - 0.5f) + (v - 0.5f) * (v - 0.5f)) * 2.0f;
        const float band = std::exp(-(r - 0.85f) * (r - 0.85f) * 300.0f);
        const float dots = 0.5f + 0.5f * std::cos(std::atan2(v - 0.5f, u - 0.5f) * 12.0f);
        return Scaled(Colour{0.35f, 0.55f, 1.0f}, band * (0.6f + 0.4f * dots));
    });
    return WriteMesh(root, FROST, frost) && WriteMesh(root, BEAM, beam) && WriteMesh(root, TUNNEL_RING, ring) &&
           WritePicture(root, RING_PICTURE, ringPicture, Form::TGA24) &&
           WritePicture(root, CHEQUER, Chequer(64, 8, {0.95f, 0.95f, 0.95f}, {0.05f, 0.05f, 0.05f}), Form::TGA24_RLE) &&
           WritePicture(root, BUMP, Honeycomb(64, 6), Form::TGA16_RLE_TOP);
}

// Panel i on the carousel, facing outward, fading in at its moment.
void AddPanel(Shot& shot, int carousel, int i)
{
    const float a = TWO_PI * static_cast<float>(i) / PANELS;
    Pose pose;
    pose.position = {CAROUSEL_RADIUS * std::sin(a), 1.5f * std::sin(3.0f * a), CAROUSEL_RADIUS * std::cos(a)};
    pose.heading = a + PI;
    SceneObjectChunk panel = shot.Placed(PanelName(i), pose);
    panel.parent = carousel;
    shot.Add(panel);
    const float in = shot.Start() + 0.2f + 0.45f * static_cast<float>(i);
    shot.AddEnvelope(SceneFormat::TAG_ODIS, Shot::Envelope({{shot.Start() - 1.0f, 1.0f}, {in, 1.0f}, {in + 1.2f, 0.0f}}, true, END_HOLD));
}

bool Carousel(const std::string& root)
{
    Shot shot(15);
    const int carousel = shot.AddNull(Shot::Spinning("carousel", {}, 40.0f));
    for (int i = 0; i < PANELS; ++i)
        AddPanel(shot, carousel, i);
    Pose frost;
    frost.position = {0.0f, 0.0f, 0.0f};
    shot.Add(shot.Spinning(FROST, frost, 12.0f));
    Pose beam;
    beam.position = {0.0f, 22.0f, 0.0f};
    shot.Add(shot.Placed(BEAM, beam));
    SceneLightChunk sweep = Shot::Lamp(2, {0.8f, 0.85f, 1.0f}, 1.6f, 30.0f);
    sweep.keys = shot.MotionKeys([](float s) {
        Pose pose;
        pose.position = {24.0f * std::sin(0.7f * s), 4.0f, 24.0f * std::cos(0.7f * s)};
        return pose;
    });
    shot.AddLight(sweep);
    shot.AddEnvelope(SceneFormat::TAG_LRNG, Shot::Envelope({{shot.Start(), 10.0f}, {shot.At(0.5f), 40.0f}, {shot.End(), 25.0f}}));
    shot.AddLight(Shot::Sun({0.3f, 0.35f, 0.5f}, 0.6f, {0.0f, 1.0f, -0.4f}));
    const float from = shot.Start(), span = shot.Duration();
    // Far back and above, so that the ring's near panels and its far ones
    // stand apart, several at once, the nearest face on.
    shot.AddCamera(shot.Camera([from, span](float s) {
        const float t = (s - from) / span;
        const float a = -0.35f + 0.7f * t;
        return Looking({44.0f * std::sin(a), 18.0f - 4.0f * t, -44.0f * std::cos(a)}, {0.0f, 0.5f, 0.0f});
    }, 2.0f));
    return shot.Write(root);
}

bool Tunnel(const std::string& root)
{
    Shot shot(20);
    constexpr int RINGS = 14;  // passed during the scene; four more stay ahead at its end
    constexpr float SPACING = 14.0f;
    const float speed = static_cast<float>(RINGS) * SPACING / shot.Duration();
    for (int k = 0; k < RINGS + 4; ++k) {
        Pose pose;
        pose.position = {3.0f * std::sin(0.6f * static_cast<float>(k)), 2.0f * std::cos(0.5f * static_cast<float>(k)),
                         SPACING * static_cast<float>(k + 1)};
        shot.Add(shot.Spinning(TUNNEL_RING, pose, 6.0f + static_cast<float>(k % 3), true));
    }
    for (int i = 0; i < 2; ++i) {
        const float phase = PI * static_cast<float>(i);
        const float from = shot.Start();
        shot.AddNull(shot.Moving("comet", [=](float s) {
            Pose pose;
            const float a = 2.6f * (s - from) + phase;
            pose.position = {5.0f * std::sin(a), 5.0f * std::cos(a), 10.0f + speed * 1.15f * (s - from)};
            return pose;
        }, {0.1f, false}));
        shot.AddObjectFlare({2, 0, 3.0f, 20.0f, 1.0f, Library::EMBER});
    }
    const float from = shot.Start();
    shot.AddCamera(shot.Camera([=](float s) {
        const float z = speed * (s - from);
        return Looking({0.0f, 0.0f, z}, {0.6f * std::sin(s), 0.4f * std::cos(s), z + 30.0f}, 0.3f * (s - from));
    }, 2.2f));
    return shot.Write(root);
}

}  // namespace

const std::vector<Snapshot>& Interlude::PanelSnapshots()
{
    // In the carousel's order: the title, the grid, the lights turning green,
    // the hero's craft, the rival at its side, the field in the canyon.
    static const std::vector<Snapshot> snapshots = {{1, 0.9f},  {3, 0.4f},  {4, 0.9f},
                                                    {6, 0.75f}, {10, 0.5f}, {12, 0.5f}};
    return snapshots;
}

std::string Interlude::PanelPicture(int i) { return "data\\overlay5\\pictures\\race" + std::to_string(i) + ".jpg"; }

bool WriteOverlays(const std::string& root) { return WriteMeshes(root) && Carousel(root) && Tunnel(root); }
