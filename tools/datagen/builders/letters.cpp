// Glyph outlines to solid letters. FreeType gives each glyph's contours in
// font units (lines and quadratic or cubic curves); curves are cut into short
// lines, contours are turned so that outer ones run counter-clockwise and
// holes clockwise, and GLU's tessellator fills the face with triangles. The
// tessellator needs no GL context.
#include "tools/datagen/builders/letters.h"

#include <GL/glu.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/error.h"
#include "tools/datagen/builders/shapes.h"

namespace {

constexpr int CURVE_STEPS = 4;  // lines per curve segment
constexpr FT_UInt EM_UNITS = 1000;

struct Flattener {
    std::vector<std::vector<Vec3>> contours;
    Vec3 pen;
    float scale = 1.0f;

    Vec3 Point(const FT_Vector* v) const { return {static_cast<float>(v->x) * scale, static_cast<float>(v->y) * scale, 0.0f}; }
    void LineTo(Vec3 p)
    {
        if (contours.back().empty() || Length(contours.back().back() - p) > 1e-5f)
            contours.back().push_back(p);
        pen = p;
    }
};

int MoveTo(const FT_Vector* to, void* user)
{
    auto* f = static_cast<Flattener*>(user);
    f->contours.emplace_back();
    f->LineTo(f->Point(to));
    return 0;
}

int LineTo(const FT_Vector* to, void* user)
{
    auto* f = static_cast<Flattener*>(user);
    f->LineTo(f->Point(to));
    return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    auto* f = static_cast<Flattener*>(user);
    const Vec3 a = f->pen, b = f->Point(control), c = f->Point(to);
    for (int i = 1; i <= CURVE_STEPS; ++i) {
        const float t = static_cast<float>(i) / CURVE_STEPS;
        f->LineTo(a * ((1 - t) * (1 - t)) + b * (2 * t * (1 - t)) + c * (t * t));
    }
    return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
{
    auto* f = static_cast<Flattener*>(user);
    const Vec3 a = f->pen, b = f->Point(c1), c = f->Point(c2), d = f->Point(to);
    for (int i = 1; i <= CURVE_STEPS; ++i) {
        const float t = static_cast<float>(i) / CURVE_STEPS, s = 1 - t;
        f->LineTo(a * (s * s * s) + b * (3 * s * s * t) + c * (3 * s * t * t) + d * (t * t * t));
    }
    return 0;
}

float SignedArea(const std::vector<Vec3>& contour)
{
    float area = 0.0f;
    for (std::size_t i = 0; i < contour.size(); ++i) {
        const Vec3 p = contour[i], q = contour[(i + 1) % contour.size()];
        area += p.x * q.y - q.x * p.y;
    }
    return 0.5f * area;
}

bool Inside(Vec3 point, const std::vector<Vec3>& contour)
{
    bool inside = false;
    for (std::size_t i = 0, j = contour.size() - 1; i < contour.size(); j = i++) {
        const Vec3 a = contour[i], b = contour[j];
        if ((a.y > point.y) != (b.y > point.y) && point.x < (b.x - a.x) * (point.y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

// Outer contours (inside an even number of others) counter-clockwise, holes clockwise.
void Orient(std::vector<std::vector<Vec3>>& contours)
{
    for (std::size_t i = 0; i < contours.size(); ++i) {
        int depth = 0;
        for (std::size_t j = 0; j < contours.size(); ++j)
            depth += (j != i && Inside(contours[i][0], contours[j])) ? 1 : 0;
        const bool outer = depth % 2 == 0;
        if ((SignedArea(contours[i]) > 0.0f) != outer)
            std::reverse(contours[i].begin(), contours[i].end());
    }
}

// The tessellator's output as triangles of indices into the contours' points.
struct Tessellation {
    std::vector<std::uint32_t> triangles;
    bool failed = false;
};

void TessVertex(void* vertex, void* user)
{
    static_cast<Tessellation*>(user)->triangles.push_back(
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(vertex)));
}
void TessEdgeFlag(GLboolean, void*) {}  // asks for plain triangles only
void TessError(GLenum, void* user) { static_cast<Tessellation*>(user)->failed = true; }
void TessCombine(GLdouble[3], void*[4], GLfloat[4], void** out, void* user)
{
    // Well-formed glyphs never cross themselves; a crossing is refused.
    static_cast<Tessellation*>(user)->failed = true;
    *out = nullptr;
}

bool Tessellate(const std::vector<std::vector<Vec3>>& contours, std::vector<std::uint32_t>& triangles)
{
    GLUtesselator* const tess = gluNewTess();
    if (tess == nullptr)
        return false;
    Tessellation result;
    using Callback = void (*)();
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<Callback>(TessVertex));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<Callback>(TessEdgeFlag));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<Callback>(TessError));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<Callback>(TessCombine));
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_POSITIVE);
    gluTessNormal(tess, 0.0, 0.0, 1.0);
    std::vector<GLdouble> coordinates;
    for (const auto& contour : contours)
        coordinates.resize(coordinates.size() + contour.size() * 3);
    std::uintptr_t index = 0;
    gluTessBeginPolygon(tess, &result);
    for (const auto& contour : contours) {
        gluTessBeginContour(tess);
        for (const Vec3& p : contour) {
            GLdouble* const xyz = &coordinates[index * 3];
            xyz[0] = p.x;
            xyz[1] = p.y;
            xyz[2] = 0.0;
            gluTessVertex(tess, xyz, reinterpret_cast<void*>(index));
            ++index;
        }
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
    gluDeleteTess(tess);
    triangles = std::move(result.triangles);
    return !result.failed && triangles.size() % 3 == 0;
}

}  // namespace

LetterFont::LetterFont(const char* path)
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        Error::Report(1, "LetterFont: FreeType could not start\n");
        return;
    }
    library_ = library;
    if (FT_New_Face(library, path, 0, &face) != 0 || FT_Set_Char_Size(face, 0, EM_UNITS * 64, 72, 72) != 0) {
        Error::Report(3, "LetterFont: Couldn't open the font (", path, ")\n");
        return;
    }
    face_ = face;
}

LetterFont::~LetterFont()
{
    if (face_ != nullptr)
        FT_Done_Face(static_cast<FT_Face>(face_));
    if (library_ != nullptr)
        FT_Done_FreeType(static_cast<FT_Library>(library_));
}

float LetterFont::Width(const std::string& text, float height) const
{
    const auto face = static_cast<FT_Face>(face_);
    float width = 0.0f;
    for (const char c : text) {
        if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0)
            width += static_cast<float>(face->glyph->advance.x) / 64.0f;
    }
    return width * height / static_cast<float>(EM_UNITS);
}

bool LetterFont::Build(const std::string& text, float height, float depth, bool centred, std::uint32_t front,
                       std::uint32_t side, Mesh& mesh) const
{
    const auto face = static_cast<FT_Face>(face_);
    const FT_Outline_Funcs funcs = {MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
    float x = centred ? -0.5f * Width(text, height) : 0.0f;
    for (const char c : text) {
        if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) {
            Error::Report(1, "LetterFont::Build: A letter is missing from the font\n");
            return false;
        }
        Flattener flat;
        flat.scale = height / (static_cast<float>(EM_UNITS) * 64.0f);
        FT_Outline_Decompose(&face->glyph->outline, &funcs, &flat);
        Outline outline;
        for (auto& contour : flat.contours) {
            if (contour.size() > 1 && Length(contour.front() - contour.back()) < 1e-5f)
                contour.pop_back();
            if (contour.size() >= 3) {
                for (Vec3& p : contour)
                    p.x += x;
                outline.contours.push_back(contour);
            }
        }
        if (!outline.contours.empty()) {
            Orient(outline.contours);
            if (!Tessellate(outline.contours, outline.capTriangles)) {
                Error::Report(1, "LetterFont::Build: A letter could not be tessellated\n");
                return false;
            }
            AddExtrusion(mesh, outline, -0.5f * depth, 0.5f * depth, front, side);
        }
        x += static_cast<float>(face->glyph->advance.x) / 64.0f * height / static_cast<float>(EM_UNITS);
    }
    return true;
}
