// The procedural pictures. Each is a pure function of its arguments.
#include "tools/datagen/builders/textures.h"

#include <cmath>

#include "tools/datagen/builders/random.h"
#include "tools/datagen/builders/vec3.h"

namespace {

constexpr Colour BLACK{0.0f, 0.0f, 0.0f};

float Fraction(float x) { return x - std::floor(x); }

// 0 on a line of the grid of cells per side, 1 away from it, width wide.
float GridLine(float u, float v, float cells, float width)
{
    const float du = std::fabs(Fraction(u * cells + 0.5f) - 0.5f);
    const float dv = std::fabs(Fraction(v * cells + 0.5f) - 0.5f);
    return SmoothStep(0.0f, width, std::fmin(du, dv));
}

}  // namespace

Picture GlowSprite(int size, Colour tint, int spikes, float ring)
{
    Picture picture(size, size);
    picture.Paint([=](float u, float v) {
        const float x = 2.0f * u - 1.0f, y = 2.0f * v - 1.0f;
        const float r = std::sqrt(x * x + y * y);
        float light = std::pow(Clamp01(1.0f - r), 2.5f) + 0.6f * std::exp(-r * r * 40.0f);
        if (spikes > 0) {
            const float angle = std::atan2(y, x);
            const float ray = std::pow(std::fabs(std::cos(angle * static_cast<float>(spikes) * 0.5f)), 60.0f);
            light += ray * Clamp01(1.0f - r) * 0.8f;
        }
        if (ring > 0.0f)
            light += 0.35f * std::exp(-std::pow((r - ring) * 18.0f, 2.0f));
        // The square's edge stays black, so the sprite's quad never shows.
        light *= SmoothStep(1.0f, 0.9f, r);
        return Scaled(tint, light);
    });
    return picture;
}

Picture ChromeMap(int size, Colour sky, Colour horizon, Colour ground)
{
    Picture picture(size, size);
    picture.Paint([=](float u, float v) {
        // u follows the normal's y (up is 1), v its x.
        const float up = 2.0f * u - 1.0f;
        const float side = 2.0f * v - 1.0f;
        const float band = std::exp(-up * up * 30.0f);
        Colour c = up > 0.0f ? Mix(horizon, sky, SmoothStep(0.0f, 0.7f, up)) : Mix(horizon, ground, SmoothStep(0.0f, 0.4f, -up));
        c = Added(c, Scaled(horizon, 0.6f * band));
        const float glint = std::exp(-((up - 0.55f) * (up - 0.55f) + (side - 0.3f) * (side - 0.3f)) * 40.0f);
        return Added(c, Scaled({1.0f, 1.0f, 1.0f}, glint));
    });
    return picture;
}

Picture Rock(int size, Colour light, Colour dark, std::uint32_t seed, int repeat)
{
    Picture picture(size, size);
    picture.Paint([=](float u, float v) {
        // Tileable: noise on a circle in each direction.
        const float a = TWO_PI * u, b = TWO_PI * v * static_cast<float>(repeat);
        const float n = Fractal3(std::cos(a) * 1.5f, std::sin(a) * 1.5f + std::cos(b) * 1.5f, std::sin(b) * 1.5f, 5, seed);
        const float strata = 0.5f + 0.5f * std::sin(b * 6.0f + n * 3.0f);
        const float grain = Noise3(std::cos(a) * 12.0f, std::sin(a) * 12.0f, std::sin(b) * 6.0f, seed + 7u);
        return Mix(dark, light, Clamp01(0.5f + 0.45f * n + 0.25f * strata * 0.8f + 0.1f * grain));
    });
    return picture;
}

Picture Sand(int size, Colour light, Colour dark, std::uint32_t seed)
{
    Picture picture(size, size);
    picture.Paint([=](float u, float v) {
        const float a = TWO_PI * u, b = TWO_PI * v;
        const float n = Fractal3(std::cos(a), std::sin(a) + std::cos(b), std::sin(b), 4, seed);
        const float ripple = 0.5f + 0.5f * std::sin(b * 24.0f + n * 4.0f);
        return Mix(dark, light, Clamp01(0.55f + 0.3f * n + 0.15f * ripple));
    });
    return picture;
}

Picture Plates(int size, Colour base, Colour seam, std::uint32_t seed)
{
    Picture picture(size, size);
    picture.Paint([=](float u, float v) {
        const float plate = GridLine(u, v, 4.0f, 0.03f);
        const int px = static_cast<int>(u * 4.0f), py = static_cast<int>(v * 4.0f);
        const float shade = 0.85f + 0.15f * Noise2(static_cast<float>(px) * 3.1f, static_cast<float>(py) * 1.7f, seed);
        const float fu = Fraction(u * 4.0f), fv = Fraction(v * 4.0f);
        float rivet = 0.0f;
        for (const float cu : {0.08f, 0.92f}) {
            for (const float cv : {0.08f, 0.92f})
                rivet += std::exp(-((fu - cu) * (fu - cu) + (fv - cv) * (fv - cv)) * 3000.0f);
        }
        const float scratch = 0.05f * Noise2(u * 90.0f, v * 6.0f, seed + 3u);
        return Added(Mix(seam, Scaled(base, shade + scratch), plate), Scaled({1.0f, 1.0f, 1.0f}, 0.5f * rivet));
    });
    return picture;
}

Picture Livery(int size, Colour paint, Colour stripe, Colour trim)
{
    Picture picture(size, size);
    picture.Paint([=](float u, float v) {
        const float centre = std::fabs(u - 0.5f);
        Colour c = paint;
        if (centre < 0.08f)
            c = stripe;
        else if (centre < 0.1f)
            c = trim;
        const float panels = GridLine(u * 0.5f + 0.25f, v, 3.0f, 0.015f);
        return Scaled(c, 0.55f + 0.45f * panels);
    });
    return picture;
}

Picture Concrete(int size, Colour base, Colour line, std::uint32_t seed)
{
    Picture picture(size, size);
    picture.Paint([=](float u, float v) {
        const float a = TWO_PI * u, b = TWO_PI * v;
        const float stain = Fractal3(std::cos(a), std::sin(a) + std::cos(b), std::sin(b), 5, seed);
        const float speck = Noise2(u * 200.0f, v * 200.0f, seed + 1u);
        Colour c = Scaled(base, 0.8f + 0.15f * stain + 0.05f * speck);
        const float stripe = std::fabs(Fraction(u * 2.0f) - 0.5f);
        if (stripe < 0.02f)
            c = Mix(c, line, 0.85f);
        return c;
    });
    return picture;
}

Picture Facade(int width, int height, int columns, int rows, float litShare, std::uint32_t seed)
{
    Picture picture(width, height);
    picture.Paint([=](float u, float v) {
        const float fx = u * static_cast<float>(columns), fy = v * static_cast<float>(rows);
        const int cx = static_cast<int>(fx), cy = static_cast<int>(fy);
        const float wx = Fraction(fx), wy = Fraction(fy);
        const Colour wall = Scaled({0.10f, 0.10f, 0.13f}, 0.8f + 0.3f * Noise2(u * 40.0f, v * 40.0f, seed));
        if (wx < 0.18f || wx > 0.82f || wy < 0.25f || wy > 0.8f)
            return wall;
        Random pick(seed * 7919u + static_cast<std::uint64_t>(cy * 131 + cx));
        const float roll = pick.Unit();
        if (roll > litShare)
            return Colour{0.03f, 0.04f, 0.07f};
        const Colour warm{1.0f, 0.82f, 0.45f}, cold{0.55f, 0.8f, 1.0f};
        const Colour light = pick.Unit() < 0.7f ? warm : cold;
        return Scaled(light, 0.6f + 0.4f * pick.Unit());
    });
    return picture;
}

Picture Chequer(int size, int squares, Colour a, Colour b)
{
    Picture picture(size, size);
    picture.Paint([=](float u, float v) {
        const int x = static_cast<int>(u * static_cast<float>(squares)), y = static_cast<int>(v * static_cast<float>(squares));
        return ((x + y) & 1) != 0 ? a : b;
    });
    return picture;
}

Picture Honeycomb(int size, int cells)
{
    Picture picture(size, size);
    picture.Paint([=](float u, float v) {
        const float x = u * static_cast<float>(cells), y = v * static_cast<float>(cells) * 1.1547f;
        // Distance to the nearest centre of two offset square lattices.
        const float ax = Fraction(x) - 0.5f, ay = Fraction(y) - 0.5f;
        const float bx = Fraction(x + 0.5f) - 0.5f, by = Fraction(y + 0.5f) - 0.5f;
        const float d = std::sqrt(std::fmin(ax * ax + ay * ay, bx * bx + by * by));
        const float height = SmoothStep(0.5f, 0.2f, d);
        return Colour{height, height, height};
    });
    return picture;
}

Picture Sky(int width, int height, Colour top, Colour horizon, float stars, std::uint32_t seed)
{
    Picture picture(width, height);
    Random random(seed);
    picture.Paint([=](float, float v) { return Mix(top, horizon, std::pow(v, 1.5f)); });
    const int count = static_cast<int>(stars * static_cast<float>(width * height));
    for (int i = 0; i < count; ++i) {
        const int x = random.Below(width), y = random.Below(height);
        const float brightness = random.Range(0.3f, 1.0f) * (1.0f - static_cast<float>(y) / static_cast<float>(height));
        picture.At(x, y) = Added(picture.At(x, y), {brightness, brightness, brightness * 1.1f});
    }
    return picture;
}

Picture Hazard(int size, Colour a, Colour b)
{
    Picture picture(size, size);
    picture.Paint([=](float u, float v) { return Fraction((u + v) * 4.0f) < 0.5f ? a : b; });
    return picture;
}

Picture Banded(const Picture& outer, const Picture& inner, float v0, float v1)
{
    Picture picture = outer;
    for (int y = 0; y < picture.height; ++y) {
        const float v = (static_cast<float>(y) + 0.5f) / static_cast<float>(picture.height);
        const float edge = 0.04f;
        const float t = SmoothStep(v0 - edge, v0 + edge, v) * (1.0f - SmoothStep(v1 - edge, v1 + edge, v));
        for (int x = 0; x < picture.width; ++x)
            picture.At(x, y) = Mix(outer.At(x, y), inner.At(x, y), t);
    }
    return picture;
}

Picture Asphalt(int width, int height)
{
    Picture road(width, height);
    road.Paint([](float u, float v) {
        const float grain = 0.06f + 0.03f * Noise2(u * 40.0f, v * 40.0f, 3);
        const bool centre = std::fabs(u - 0.5f) < 0.012f && v < 0.6f;
        const bool edge = std::fabs(u - 0.06f) < 0.01f || std::fabs(u - 0.94f) < 0.01f;
        return centre || edge ? Colour{0.8f, 0.75f, 0.5f} : Colour{grain, grain, grain * 1.1f};
    });
    return road;
}

Picture Nebula(int size, Colour a, Colour b, std::uint32_t seed)
{
    Picture picture(size, size);
    picture.Paint([=](float u, float v) {
        const float n = Fractal2(u * 3.0f, v * 3.0f, 5, seed);
        const float m = Fractal2(u * 5.0f + 7.0f, v * 5.0f, 4, seed + 3u);
        const float density = std::pow(Clamp01(0.5f + 0.6f * n), 2.2f);
        const float fade = SmoothStep(0.0f, 0.25f, u) * SmoothStep(1.0f, 0.75f, u) * SmoothStep(0.0f, 0.25f, v) * SmoothStep(1.0f, 0.75f, v);
        return Scaled(Mix(a, b, Clamp01(0.5f + m)), density * fade * 0.8f);
    });
    return picture;
}
