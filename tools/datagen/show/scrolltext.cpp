// The credits: what the show is and what it is made of, line by line in
// solid letters that come out of the stars, fly at the camera and pass it.
// The last line comes to rest before the eye as the music ends.
#include <cmath>

#include "tools/datagen/builders/letters.h"
#include "tools/datagen/show/acts.h"
#include "tools/datagen/show/library.h"
#include "tools/datagen/show/shot.h"

namespace {

constexpr int SCENE = 50;
constexpr float FLIGHT = 5.5f;      // seconds from the far end to past the eye
constexpr float FAR = 230.0f;
constexpr float NEAR = -30.0f;
constexpr const char* STARS = "data\\intro\\objects\\stars.vob";  // the intro's, shared

struct Line {
    const char* text;
    bool heading;
};

// What the show is made of; nothing more.
constexpr Line CREDITS[] = {
    {"AQUARIUM", true},
    {"a real-time demo for Linux", false},
    {"ENGINE", true},
    {"scenes animated on keyframes", false},
    {"meshes lit and sorted on the processor", false},
    {"drawn through OpenGL", false},
    {"MUSIC", true},
    {"composed as note data", false},
    {"played by FluidSynth", false},
    {"with the FluidR3 GM SoundFont", false},
    {"encoded with LAME", false},
    {"SHOW", true},
    {"51 scenes from its own generator", false},
    {"procedural meshes and pictures", false},
    {"letters outlined by FreeType", false},
    {"filled by the GLU tessellator", false},
    {"TOOLS", true},
    {"aqtool   aqdata   aqlisten", false},
    {"MADE WITH", true},
    {"SDL2", false},
    {"zlib", false},
    {"libjpeg-turbo", false},
    {"FluidSynth", false},
    {"LAME", false},
    {"FreeType and DejaVu", false},
    {"GLU and Mesa", false},
    {"THANK YOU FOR WATCHING", true},
};
constexpr int LINES = sizeof(CREDITS) / sizeof(CREDITS[0]);

std::string LineName(int i) { return "data\\scrolltext\\objects\\line" + std::to_string(i) + ".vob"; }

bool WriteLines(const std::string& root)
{
    const LetterFont font;
    if (!font.Ready())
        return false;
    for (int i = 0; i < LINES; ++i) {
        Mesh line;
        const bool heading = CREDITS[i].heading;
        const std::uint32_t face = line.AddMaterial(heading ? Surface::Environment(Library::CHROME, 0.25f)
                                                            : Surface::Smooth({0.55f, 0.75f, 1.0f}, 0.35f));
        const std::uint32_t side = line.AddMaterial(heading ? Surface::Flat({0.9f, 0.6f, 0.15f}, 0.4f)
                                                            : Surface::Flat({0.15f, 0.25f, 0.6f}, 0.3f));
        const float height = i == LINES - 1 ? 6.0f : (heading ? 9.0f : 5.0f);
        if (!font.Build(CREDITS[i].text, height, heading ? 2.4f : 1.2f, true, face, side, line) ||
            !WriteMesh(root, LineName(i), line))
            return false;
    }
    return true;
}

// When line i sets out from the far end.
float Departure(const Shot& shot, int i)
{
    const float span = shot.Duration() - FLIGHT - 4.0f;
    return shot.Start() + 0.5f + span * static_cast<float>(i) / static_cast<float>(LINES - 1);
}

// Line i's flight: out of the distance toward the eye and past it, swaying;
// the last one slows to a stop before the eye.
Pose Flight(int i, float departure, bool last, float s)
{
    float t = (s - departure) / FLIGHT;
    if (last)
        t = 0.5f * (1.0f - std::exp(-3.0f * std::fmax(t, 0.0f)));
    Pose pose;
    const float sway = static_cast<float>(i % 3) - 1.0f;
    const float lane = last ? 0.0f : 7.0f * (static_cast<float>(i % 2) * 2.0f - 1.0f);
    pose.position = {sway * 6.0f * std::sin(1.3f * t + static_cast<float>(i)),
                     lane + 2.0f * std::cos(2.0f * t + static_cast<float>(i)) + 2.0f, FAR + (NEAR - FAR) * t};
    pose.heading = 0.25f * sway * std::sin(2.0f * t);
    pose.bank = 0.1f * std::sin(3.0f * t + static_cast<float>(i));
    return pose;
}

}  // namespace

bool WriteScrollText(const std::string& root)
{
    if (!WriteLines(root))
        return false;
    Shot shot(SCENE);
    shot.Add(shot.Placed(STARS, {}));
    shot.Add(shot.Placed(Library::NEBULA, {}));
    for (int i = 0; i < LINES; ++i) {
        const float departure = Departure(shot, i);
        const bool last = i == LINES - 1;
        shot.Add(shot.Moving(LineName(i), [=](float s) { return Flight(i, departure, last, s); }, {0.5f, false}));
        // Out of sight (and not drawn at all) until it sets out and once past the eye.
        std::vector<std::pair<float, float>> dissolve = {{shot.Start() - 1.0f, 1.0f}, {departure, 1.0f}, {departure + 1.5f, 0.0f}};
        if (!last)
            dissolve.insert(dissolve.end(), {{departure + FLIGHT, 0.0f}, {departure + FLIGHT + 0.05f, 1.0f}});
        shot.AddEnvelope(SceneFormat::TAG_ODIS, Shot::Envelope(dissolve, true, END_HOLD));
    }
    shot.AddLight(Shot::Sun({0.9f, 0.9f, 1.0f}, 0.8f, {0.4f, 0.7f, -0.6f}));
    SceneLightChunk wander = Shot::Lamp(2, {1.0f, 0.5f, 0.3f}, 1.5f, 120.0f);
    wander.keys = shot.MotionKeys([](float s) { return Pose{{40.0f * std::sin(0.4f * s), 20.0f, 60.0f + 40.0f * std::cos(0.3f * s)}}; },
                                  {1.0f, false});
    shot.AddLight(wander);
    shot.AddCamera(shot.Camera([](float s) { return Looking({0.0f, 2.0f, -40.0f}, {0.0f, 2.0f, 100.0f}, 0.05f * std::sin(0.2f * s)); },
                               2.4f, {1.0f, false}));
    return shot.Write(root);
}
