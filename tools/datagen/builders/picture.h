// Pictures as the builders paint them (floating-point red, green, blue, rows
// top first) and the files they become: TGA in every form the texture loader
// reads (raw or run-length; 15, 16 or 24 bits; rows stored either way) and
// JPEG, baseline or progressive.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/datagen/builders/surfaces.h"

struct Picture {
    Picture() = default;
    Picture(int width_, int height_) : width(width_), height(height_), pixels(static_cast<std::size_t>(width_ * height_)) {}

    Colour& At(int x, int y) { return pixels[static_cast<std::size_t>(y * width + x)]; }
    const Colour& At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }

    // Sets every pixel to paint(u, v), u and v the pixel centre from 0 to 1.
    void Paint(const std::function<Colour(float, float)>& paint);

    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;  // rows top first
};

struct PictureForm {
    bool jpeg = false;          // else TGA
    bool progressive = false;   // JPEG: progressive scans instead of one baseline scan
    int quality = 88;           // JPEG quality
    std::uint8_t bits = 24;     // TGA: 15, 16 or 24
    bool runLength = false;     // TGA: run-length packets instead of raw rows
    bool topFirst = false;      // TGA: the file stores the top row first
};

// A few named forms, so that scene sets choose by purpose.
namespace Form {
constexpr PictureForm TGA24{};
constexpr PictureForm TGA24_TOP{false, false, 88, 24, false, true};
constexpr PictureForm TGA24_RLE{false, false, 88, 24, true, false};
constexpr PictureForm TGA16_RLE_TOP{false, false, 88, 16, true, true};
constexpr PictureForm TGA15{false, false, 88, 15, false, false};
constexpr PictureForm TGA16{false, false, 88, 16, false, false};
constexpr PictureForm JPEG{true, false, 88, 24, false, false};
constexpr PictureForm JPEG_PROGRESSIVE{true, true, 88, 24, false, false};
}  // namespace Form

// The picture's file bytes in form; empty (reported) on failure.
std::vector<std::uint8_t> EncodePicture(const Picture& picture, const PictureForm& form);

// Writes the picture as the file archiveName of the tree (its ending, ".tga"
// or ".jpg", must match the form). False (reported) on failure.
bool WritePicture(const std::string& root, const std::string& archiveName, const Picture& picture,
                  const PictureForm& form);

// The top rows rows of picture.
Picture Cropped(const Picture& picture, int rows);

// Colour helpers for painting.
Colour Mix(Colour a, Colour b, float t);
Colour Scaled(Colour c, float s);
Colour Added(Colour a, Colour b);
float Clamp01(float value);
float SmoothStep(float edge0, float edge1, float x);
