// Meshes drawn on the processor into a picture with coverage, for the few
// pictures of the show's things that are made outside the demo (the
// program's icon). One light from a direction; materials look as the demo
// shades them: the colour, or the colour map instead, lit by `fourth` times
// the light with `further0` added; glass blended by `further1`; glows added.
// Every pixel holds supersample x supersample samples, and its alpha is the
// share of them that something covers. Same calls, same picture.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/datagen/builders/mesh.h"
#include "tools/datagen/builders/picture.h"

struct CanvasView {
    Vec3 eye;
    Vec3 target;
    float fieldOfView = 0.8f;  // vertical, radians
};

// Colour maps under the names the materials give them; maps wrap.
using CanvasMaps = std::map<std::string, Picture>;

class Canvas {
public:
    Canvas(int width, int height, int supersample, const CanvasView& view, Vec3 towardLight);

    // Covers the canvas with picture, stretched over it, behind all else.
    void Backdrop(const Picture& picture);
    // Clears what lies where inside(u, v) does not hold, u and v from 0 to 1
    // across the canvas.
    void Keep(const std::function<bool(float, float)>& inside);

    // Draws mesh's opaque cells. Glass and glows blend over what lies behind
    // them, so they are drawn by DrawSeeThrough once every solid is drawn.
    void DrawSolid(const Mesh& mesh, const CanvasMaps& maps);
    void DrawSeeThrough(const Mesh& mesh, const CanvasMaps& maps);

    // Adds a soft round glow of radius world units about where, over everything.
    void Glow(Vec3 where, float radius, Colour colour);

    // The picture: 8-bit red, green, blue and alpha, rows top first.
    std::vector<std::uint8_t> Rgba() const;

    // Where a world point lands, u and v from 0 to 1 across the canvas;
    // false behind the eye.
    bool Project(Vec3 world, float& u, float& v) const;

private:
    struct Corner;
    struct Cell;

    void ForEachSample(const std::function<void(std::size_t at, float u, float v)>& visit);
    std::size_t SampleAt(int x, int y) const;
    void DrawMesh(const Mesh& mesh, const CanvasMaps& maps, bool seeThrough);
    void DrawCell(const Cell& cell, const Corner* corners);
    void FillTriangle(const Cell& cell, const Corner& a, const Corner& b, const Corner& c);
    Colour Shade(const Cell& cell, Uv uv, Vec3 normal) const;
    void Blend(std::size_t at, const Cell& cell, Colour colour, float nearness);

    int width_, height_, supersample_;
    int sampleWidth_, sampleHeight_;
    Vec3 eye_, right_, up_, forward_;
    float focal_;  // sample rows per unit of view height at unit depth
    Vec3 towardLight_;
    std::vector<Colour> colour_;     // premultiplied by coverage
    std::vector<float> coverage_;
    std::vector<float> nearness_;    // 1 / depth of what covers a sample; 0 for nothing or the backdrop
};
