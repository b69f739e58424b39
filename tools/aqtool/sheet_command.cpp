// aqtool sheet: every scene of the show drawn headless as the demo draws it,
// at chosen moments of its slot, assembled with their numbers into one PNG
// contact sheet, so that the whole show can be looked over at once.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "host/aquarium.h"
#include "host/error.h"
#include "tools/aqtool/commands.h"
#include "tools/aqtool/demo_archive.h"
#include "tools/aqtool/render_frame.h"
#include "tools/aqtool/scene_slot.h"
#include "tools/writers/pngwriter.h"

namespace aqtool {

namespace {

constexpr int SHRINK = 4;                 // a cell is the frame at a quarter of its size
constexpr int CELLS_PER_ROW = 8;
constexpr int GAP = 4;                    // pixels between cells
constexpr std::uint8_t BACKGROUND = 48;
constexpr int DIGIT_SCALE = 3;            // label pixels per font pixel
constexpr double DEFAULT_FRACTION = 0.5;

// Digits 0 to 9 in a 3 x 5 font, one row a byte, its low three bits the pixels.
constexpr std::uint8_t DIGITS[10][5] = {{7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7},
                                        {5, 5, 7, 1, 1}, {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1},
                                        {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}};

struct ContactSheet {
    int cellWidth = 0;
    int cellHeight = 0;
    int columns = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // red, green, blue, rows top first
};

ContactSheet MakeSheet(int cells)
{
    ContactSheet sheet;
    sheet.cellWidth = gAquarium.width / SHRINK;
    sheet.cellHeight = gAquarium.height / SHRINK;
    sheet.columns = cells < CELLS_PER_ROW ? cells : CELLS_PER_ROW;
    const int rows = (cells + sheet.columns - 1) / sheet.columns;
    sheet.width = sheet.columns * (sheet.cellWidth + GAP) + GAP;
    sheet.height = rows * (sheet.cellHeight + GAP) + GAP;
    sheet.pixels.assign(static_cast<std::size_t>(sheet.width) * static_cast<std::size_t>(sheet.height) * 3, BACKGROUND);
    return sheet;
}

std::uint8_t* At(ContactSheet& sheet, int x, int y)
{
    return &sheet.pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(sheet.width) + static_cast<std::size_t>(x)) * 3];
}

// The frame (rows bottom first, as read back) shrunk into cell, each cell
// pixel the mean of its SHRINK x SHRINK frame pixels.
void PlaceFrame(ContactSheet& sheet, int cell, const std::uint8_t* frame)
{
    const int left = GAP + (cell % sheet.columns) * (sheet.cellWidth + GAP);
    const int top = GAP + (cell / sheet.columns) * (sheet.cellHeight + GAP);
    const int frameWidth = gAquarium.width, frameHeight = gAquarium.height;
    for (int y = 0; y < sheet.cellHeight; ++y) {
        for (int x = 0; x < sheet.cellWidth; ++x) {
            for (int c = 0; c < 3; ++c) {
                unsigned sum = 0;
                for (int dy = 0; dy < SHRINK; ++dy) {
                    const int row = frameHeight - 1 - (y * SHRINK + dy);
                    for (int dx = 0; dx < SHRINK; ++dx)
                        sum += frame[(static_cast<std::size_t>(row) * frameWidth + static_cast<std::size_t>(x * SHRINK + dx)) * 3 + c];
                }
                At(sheet, left + x, top + y)[c] = static_cast<std::uint8_t>(sum / (SHRINK * SHRINK));
            }
        }
    }
}

// The scene's number in white on black at the cell's top left corner.
void Label(ContactSheet& sheet, int cell, int number)
{
    const int left = GAP + (cell % sheet.columns) * (sheet.cellWidth + GAP);
    const int top = GAP + (cell / sheet.columns) * (sheet.cellHeight + GAP);
    const int digits = number >= 10 ? 2 : 1;
    const int boxWidth = (digits * 4 + 1) * DIGIT_SCALE, boxHeight = 7 * DIGIT_SCALE;
    for (int y = 0; y < boxHeight; ++y) {
        for (int x = 0; x < boxWidth; ++x) {
            const int fx = x / DIGIT_SCALE - 1, fy = y / DIGIT_SCALE - 1;
            const int digit = fx / 4, column = fx % 4;
            bool on = false;
            if (fx >= 0 && fy >= 0 && fy < 5 && digit < digits && column < 3) {
                const int value = digits == 2 && digit == 0 ? number / 10 : number % 10;
                on = ((DIGITS[value][fy] >> (2 - column)) & 1) != 0;
            }
            std::uint8_t* const pixel = At(sheet, left + x, top + y);
            pixel[0] = pixel[1] = pixel[2] = on ? 255 : 0;
        }
    }
}

// The fractions of the slot to draw each scene at; false when one is not a
// number from 0 to 1.
bool ParseFractions(char* const* arguments, std::vector<double>& fractions)
{
    for (char* const* argument = arguments; *argument != nullptr; ++argument) {
        char* end = nullptr;
        errno = 0;
        const double value = std::strtod(*argument, &end);
        if (end == *argument || *end != '\0' || errno != 0 || !(value >= 0.0 && value <= 1.0)) {
            std::fprintf(stderr, "aqtool sheet: TIMES are fractions of a scene's slot from 0 to 1: %s\n", *argument);
            return false;
        }
        fractions.push_back(value);
    }
    if (fractions.empty())
        fractions.push_back(DEFAULT_FRACTION);
    return true;
}

// Scene i drawn at each fraction into its cells; false (reported) when it
// cannot be loaded or drawn, its cells then left empty.
bool DrawScene(ContactSheet& sheet, int scene, const std::vector<double>& fractions, std::uint8_t* frame)
{
    SceneFrames frames;
    if (!frames.Load(SCENE_TABLE[scene]))
        return false;
    for (std::size_t k = 0; k < fractions.size(); ++k) {
        const auto time = static_cast<std::uint32_t>(fractions[k] * SlotLength(scene));
        for (int pass = scene == 0 ? TRAIL_LEAD_IN_PASSES : 0; pass > 0; --pass) {
            const std::uint32_t back = static_cast<std::uint32_t>(pass) * TRAIL_LEAD_IN_STEP_MS;
            if (!frames.Render(time > back ? time - back : 0, frame))
                return false;
        }
        if (!frames.Render(time, frame))
            return false;
        const int cell = scene * static_cast<int>(fractions.size()) + static_cast<int>(k);
        PlaceFrame(sheet, cell, frame);
        Label(sheet, cell, scene);
    }
    return true;
}

}  // namespace

int Sheet(char* const* arguments)
{
    std::vector<double> fractions;
    if (!ParseFractions(arguments + 1, fractions))
        return EXIT_USAGE;
    if (!OpenDemoArchive() || !FillDemoAquarium(ModeSwitch::NONE))
        return Fail();
    std::vector<std::uint8_t> frame(FrameBufferSize());
    ContactSheet sheet = MakeSheet(SCENE_COUNT * static_cast<int>(fractions.size()));
    bool drawn = true;
    for (int scene = 0; scene < SCENE_COUNT; ++scene)
        drawn = DrawScene(sheet, scene, fractions, frame.data()) && drawn;
    EmptyDemoAquarium();
    const bool written = PngWrite(arguments[0], sheet.pixels.data(), sheet.width, sheet.height);
    return drawn && written ? EXIT_OK : Fail();
}

}  // namespace aqtool
