// Drawing on an RGB canvas with libpng's simplified reading and writing.
#include "tools/listen/picture.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "host/error.h"
#include "tools/audio/loudness.h"
#include "tools/datagen/music/form.h"

namespace {

constexpr int CURVE_STEP_MS = 100;
constexpr int CURVE_HEIGHT = 240;
constexpr double LOUDEST_LUFS = -4.0;
constexpr double QUIETEST_LUFS = -44.0;

struct Colour {
    std::uint8_t r, g, b;
};
constexpr Colour CUT = {255, 220, 0};
constexpr Colour CURVE = {120, 255, 120};
constexpr Colour PLAN = {80, 200, 255};
constexpr Colour GRID = {70, 70, 70};
constexpr Colour BACKGROUND = {16, 16, 24};

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
    double fromMs = 0.0;       // the track time at the left edge
    double columnMs = 100.0;   // track time per column

    int ColumnAt(double ms) const { return static_cast<int>(std::floor((ms - fromMs) / columnMs)); }

    void Put(int x, int y, Colour c)
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return;
        std::uint8_t* const p = &rgb[3 * (static_cast<std::size_t>(y) * width + x)];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }
    void Column(int x, int top, int bottom, Colour c)
    {
        for (int y = top; y < bottom; ++y)
            Put(x, y, c);
    }
};

bool ReadSpectrogram(const char* path, Canvas* canvas)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) {
        Error::Report(3, "DrawMusicPicture: Couldn't read the spectrogram(", path, ")\n");
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    canvas->width = static_cast<int>(image.width);
    canvas->height = static_cast<int>(image.height) + CURVE_HEIGHT;
    canvas->rgb.assign(3 * static_cast<std::size_t>(canvas->width) * canvas->height, 0);
    for (int y = static_cast<int>(image.height); y < canvas->height; ++y) {
        for (int x = 0; x < canvas->width; ++x)
            canvas->Put(x, y, BACKGROUND);
    }
    if (!png_image_finish_read(&image, nullptr, canvas->rgb.data(), 0, nullptr)) {
        Error::Report(3, "DrawMusicPicture: Couldn't read the spectrogram(", path, ")\n");
        return false;
    }
    return true;
}

int CurveY(const Canvas& canvas, double lufs)
{
    const double share = (LOUDEST_LUFS - std::clamp(lufs, QUIETEST_LUFS, LOUDEST_LUFS)) / (LOUDEST_LUFS - QUIETEST_LUFS);
    return canvas.height - CURVE_HEIGHT + static_cast<int>(share * (CURVE_HEIGHT - 1));
}

void DrawLoudness(const Pcm& track, Canvas* canvas)
{
    for (double lufs = -10.0; lufs > QUIETEST_LUFS; lufs -= 10.0) {
        for (int x = 0; x < canvas->width; x += 2)
            canvas->Put(x, CurveY(*canvas, lufs), GRID);
    }
    for (const Act& act : ACTS) {
        const int first = canvas->ColumnAt(SceneStartMs(act.firstScene));
        const int last = canvas->ColumnAt(ActEndMs(act));
        for (int x = std::max(first, 0); x < std::min(last, canvas->width); ++x)
            canvas->Put(x, CurveY(*canvas, act.plannedLufs), PLAN);
    }
    // Each value covers the 3 s before it: drawn at the window's middle.
    constexpr double HALF_WINDOW_MS = 1500.0;
    const std::vector<double> curve = ShortTermLoudness(track, CURVE_STEP_MS);
    int previous = -1;
    for (int x = 0; x < canvas->width; ++x) {
        const double ms = canvas->fromMs + (x + 0.5) * canvas->columnMs + HALF_WINDOW_MS;
        const std::size_t index = static_cast<std::size_t>(std::max(ms / CURVE_STEP_MS - 1.0, 0.0));
        if (index >= curve.size())
            break;
        const int y = CurveY(*canvas, curve[index]);
        canvas->Column(x, std::min(y, previous < 0 ? y : previous), std::max(y, previous) + 1, CURVE);
        previous = y;
    }
}

void DrawCuts(Canvas* canvas)
{
    for (const std::int32_t end : SCENE_END_MS) {
        const int x = canvas->ColumnAt(end);
        for (int y = 0; y < canvas->height; y += 3)
            canvas->Column(x, y, y + 2, CUT);
    }
}

}  // namespace

bool DrawMusicPicture(const Pcm& track, const char* spectrogramPath, const char* outPath, double fromMs,
                      double toMs)
{
    Canvas canvas;
    if (!ReadSpectrogram(spectrogramPath, &canvas))
        return false;
    canvas.fromMs = fromMs;
    canvas.columnMs = (toMs - fromMs) / std::max(canvas.width, 1);
    DrawLoudness(track, &canvas);
    DrawCuts(&canvas);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(canvas.width);
    image.height = static_cast<png_uint_32>(canvas.height);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, outPath, 0, canvas.rgb.data(), 0, nullptr)) {
        Error::Report(3, "DrawMusicPicture: Couldn't write the picture(", outPath, ")\n");
        return false;
    }
    return true;
}
