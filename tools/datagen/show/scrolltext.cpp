// The credits: what the show is and what it is made of, in solid letters
// that come out of the stars a card at a time, a heading over its lines.
// Each line settles where it is read, apart from the others and inside the
// frame; then the lines fade as they come on and the heading flies past the
// eye. The last line comes to rest before the eye as the music ends.
#include <cmath>
#include <vector>

#include "tools/datagen/builders/letters.h"
#include "tools/datagen/show/acts.h"
#include "tools/datagen/show/credits.h"
#include "tools/datagen/show/library.h"
#include "tools/datagen/show/shot.h"

namespace {

constexpr const char* STARS = "data\\intro\\objects\\stars.vob";  // the intro's, shared
constexpr Vec3 EYE = {0.0f, 2.0f, -40.0f};

// The frame the layout is made in: 640 x 480, where the camera's zoom gives
// this many pixels a unit at unit depth.
constexpr float FOCAL = 240.0f * Credits::ZOOM;
constexpr float HALF_WIDTH = 320.0f, HALF_HEIGHT = 240.0f;
constexpr float MARGIN = 24.0f;
constexpr float FIT = 0.8f;           // of the frame's free width: room to grow while fading
constexpr float EM_MIDDLE = 0.35f;    // of the em above the baseline: the letters' middle

constexpr float FAR_DEPTH = 360.0f;   // in front of the nebula, among the stars
constexpr float HEADING_HEIGHT = 5.0f, LINE_HEIGHT = 3.1f, LAST_HEIGHT = 4.0f;
constexpr float HEADING_SIZE = 44.0f, LINE_SIZE = 24.0f;  // pixels of em once settled, where they fit
constexpr float HEADING_PITCH = 1.5f, LINE_PITCH = 1.55f; // rows, in ems of their size
constexpr float CREEP = 1.08f;        // a settled line still drifts this much nearer
constexpr float ROW_DELAY = 0.35f;    // between the rows of a card setting out
constexpr float APPROACH = 2.4f;
constexpr float FADE_OUT = 0.6f;
constexpr float FLY = 1.4f;           // from its settled place to the eye
constexpr float LAST_APPROACH = 6.0f;
constexpr float CARD_WEIGHT = 5.0f;   // a card's time: this many rows' worth and its own rows

enum class Exit { FADE, FLY, REST };

constexpr Credits::Line CREDITS[] = {
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

// Where and when one line is read.
struct Reading {
    float height = 0.0f;   // em, units
    float screenY = 0.0f;  // the letters' middle above the frame's, pixels
    float size = 0.0f;     // em once settled, pixels
    float appear = 0.0f, settle = 0.0f, leave = 0.0f;  // seconds of music
    Exit exit = Exit::FADE;
};

std::string LineName(int i) { return "data\\scrolltext\\objects\\line" + std::to_string(i) + ".vob"; }

float Ease(float t)
{
    t = std::fmin(std::fmax(t, 0.0f), 1.0f);
    return 1.0f - (1.0f - t) * (1.0f - t);
}

// The em in pixels at which the line fills FIT of the frame's free width.
float FittingSize(const LetterFont& font, int i)
{
    return FIT * 2.0f * (HALF_WIDTH - MARGIN) / font.Width(CREDITS[i].text, 1.0f);
}

// A line lays its em at its pitch; the size it is read at is the smaller of its own and the fitting one.
void LayCard(const LetterFont& font, int first, int end, float start, float length, std::vector<Reading>& plan)
{
    float block = 0.0f;
    for (int i = first; i < end; ++i)
        block += CREDITS[i].heading ? HEADING_PITCH * HEADING_SIZE : LINE_PITCH * LINE_SIZE;
    float top = 0.5f * block;
    for (int i = first; i < end; ++i) {
        const bool heading = CREDITS[i].heading;
        const float pitch = heading ? HEADING_PITCH * HEADING_SIZE : LINE_PITCH * LINE_SIZE;
        Reading& line = plan[static_cast<std::size_t>(i)];
        line.height = heading ? HEADING_HEIGHT : LINE_HEIGHT;
        line.screenY = top - 0.5f * pitch;
        line.size = std::fmin(heading ? HEADING_SIZE : LINE_SIZE, FittingSize(font, i));
        line.appear = start + ROW_DELAY * static_cast<float>(i - first);
        line.settle = line.appear + APPROACH;
        const float fade = start + length - FLY - FADE_OUT + 0.1f;
        line.leave = heading ? fade + FADE_OUT : fade;
        line.exit = heading ? Exit::FLY : Exit::FADE;
        top -= pitch;
    }
}

// Every line's reading: the cards share the time before the last line by
// their rows; the last line settles as the scene ends.
std::vector<Reading> Plan(const LetterFont& font, const Shot& shot)
{
    std::vector<Reading> plan(LINES);
    std::vector<int> cards;
    for (int i = 0; i < LINES - 1; ++i) {
        if (CREDITS[i].heading)
            cards.push_back(i);
    }
    cards.push_back(LINES - 1);
    const float from = shot.Start() + 0.3f, until = shot.End() - LAST_APPROACH - 0.5f;
    const float weights = CARD_WEIGHT * static_cast<float>(cards.size() - 1) + static_cast<float>(LINES - 1);
    float start = from;
    for (std::size_t k = 0; k + 1 < cards.size(); ++k) {
        const int rows = cards[k + 1] - cards[k];
        const float length = (until - from) * (CARD_WEIGHT + static_cast<float>(rows)) / weights;
        LayCard(font, cards[k], cards[k + 1], start, length, plan);
        start += length;
    }
    Reading& last = plan[LINES - 1];
    last.height = LAST_HEIGHT;
    last.size = std::fmin(HEADING_SIZE, FittingSize(font, LINES - 1));
    last.settle = shot.End();
    last.appear = last.settle - LAST_APPROACH;
    last.leave = last.settle + 100.0f;
    last.exit = Exit::REST;
    return plan;
}

// How far in front of the eye the line is at seconds.
float Depth(const Reading& line, float s)
{
    const float settled = FOCAL * line.height / line.size;
    if (s < line.settle)
        return FAR_DEPTH + (settled - FAR_DEPTH) * Ease((s - line.appear) / (line.settle - line.appear));
    const float creep = 1.0f + (CREEP - 1.0f) * std::fmin((s - line.settle) / (line.leave - line.settle), 1.0f);
    const float left = settled / creep;
    if (s < line.leave || line.exit == Exit::REST)
        return left;
    const float u = (s - line.leave) / (line.exit == Exit::FLY ? FLY : FADE_OUT);
    if (line.exit == Exit::FADE)
        return left / (1.0f + 0.06f * std::fmin(u, 1.0f));
    return left * (1.0f - u * u);
}

// On the ray through its place on the screen, so that it grows where it is
// read; once too large to read, a heading rises to pass over the eye.
Pose Flight(const Reading& line, float s)
{
    const float depth = Depth(line, s);
    const float tooNear = FOCAL * line.height / 80.0f;
    const float rise = line.exit == Exit::FLY ? 0.4f * std::fmax(tooNear - depth, 0.0f) : 0.0f;
    Pose pose;
    pose.position = {EYE.x, EYE.y + line.screenY * depth / FOCAL - EM_MIDDLE * line.height + rise, EYE.z + depth};
    return pose;
}

// Out of sight (and not drawn at all) until it sets out, and once it has
// faded or passed the eye.
std::vector<std::pair<float, float>> Dissolve(const Shot& shot, const Reading& line)
{
    std::vector<std::pair<float, float>> points = {
        {shot.Start() - 1.0f, 1.0f}, {line.appear, 1.0f}, {line.appear + 1.0f, 0.0f}};
    const float gone = line.exit == Exit::FADE ? line.leave + FADE_OUT : line.leave + FLY + 0.05f;
    if (line.exit != Exit::REST) {
        // Held at exactly 1 past the last key, where the hold would stop just short of it.
        points.insert(points.end(), {{line.exit == Exit::FADE ? line.leave : gone - 0.05f, 0.0f}, {gone, 1.0f},
                                     {gone + 0.1f, 1.0f}});
    }
    return points;
}

bool WriteLines(const LetterFont& font, const std::string& root)
{
    for (int i = 0; i < LINES; ++i) {
        Mesh line;
        const bool heading = CREDITS[i].heading;
        const std::uint32_t face = line.AddMaterial(heading ? Surface::Environment(Library::CHROME, 0.25f)
                                                            : Surface::Smooth({0.55f, 0.75f, 1.0f}, 0.35f));
        const std::uint32_t side = line.AddMaterial(heading ? Surface::Flat({0.9f, 0.6f, 0.15f}, 0.4f)
                                                            : Surface::Flat({0.15f, 0.25f, 0.6f}, 0.3f));
        const float height = Credits::LetterHeight(i);
        if (!font.Build(CREDITS[i].text, height, height * (heading ? 0.27f : 0.24f), true, face, side, line) ||
            !WriteMesh(root, LineName(i), line))
            return false;
    }
    return true;
}

}  // namespace

int Credits::LineCount() { return LINES; }

const Credits::Line& Credits::LineAt(int i) { return CREDITS[i]; }

float Credits::LetterHeight(int i)
{
    return i == LINES - 1 ? LAST_HEIGHT : (CREDITS[i].heading ? HEADING_HEIGHT : LINE_HEIGHT);
}

bool WriteScrollText(const std::string& root)
{
    const LetterFont font;
    if (!font.Ready() || !WriteLines(font, root))
        return false;
    Shot shot(Credits::SCENE);
    shot.Add(shot.Placed(STARS, {}));
    shot.Add(shot.Placed(Library::NEBULA, {}));
    const std::vector<Reading> plan = Plan(font, shot);
    for (int i = 0; i < LINES; ++i) {
        const Reading& line = plan[static_cast<std::size_t>(i)];
        shot.Add(shot.Moving(LineName(i), [line](float s) { return Flight(line, s); }, {0.25f, false}));
        shot.AddEnvelope(SceneFormat::TAG_ODIS, Shot::Envelope(Dissolve(shot, line), true, END_HOLD));
    }
    shot.AddLight(Shot::Sun({0.9f, 0.9f, 1.0f}, 0.8f, {0.4f, 0.7f, -0.6f}));
    SceneLightChunk wander = Shot::Lamp(2, {1.0f, 0.5f, 0.3f}, 1.5f, 120.0f);
    wander.keys = shot.MotionKeys([](float s) { return Pose{{40.0f * std::sin(0.4f * s), 20.0f, 60.0f + 40.0f * std::cos(0.3f * s)}}; },
                                  {1.0f, false});
    shot.AddLight(wander);
    const auto drift = [](float s) { return Looking(EYE, EYE + Vec3{0.0f, 0.0f, 140.0f}, 0.02f * std::sin(0.2f * s)); };
    shot.AddCamera(shot.Camera(drift, Credits::ZOOM, {1.0f, false}));
    return shot.Write(root);
}
