// Three-component vectors and the small amount of geometry the builders and
// the scene descriptions share. Plain values; nothing here allocates.
#pragma once

#include <cmath>

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr Vec3() = default;
    constexpr Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
};

constexpr Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
constexpr Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
constexpr Vec3 operator-(Vec3 a) { return {-a.x, -a.y, -a.z}; }
constexpr Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
constexpr Vec3 operator*(float s, Vec3 a) { return a * s; }
constexpr float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
constexpr Vec3 Cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(Vec3 a) { return std::sqrt(Dot(a, a)); }
inline Vec3 Normalised(Vec3 a)
{
    const float length = Length(a);
    return length > 0.0f ? a * (1.0f / length) : Vec3{0.0f, 0.0f, 1.0f};
}
constexpr Vec3 Lerp(Vec3 a, Vec3 b, float t) { return a + (b - a) * t; }

constexpr float PI = 3.14159265358979f;
constexpr float TWO_PI = 2.0f * PI;

// The engine's orientation of a direction: heading turns +z toward +x about
// y, pitch (positive) tips +z down toward -y. A world direction d is reached
// from +z by pitch first, then heading.
struct Angles {
    float pitch = 0.0f;
    float heading = 0.0f;
};

inline Angles LookAngles(Vec3 direction)
{
    Angles angles;
    angles.heading = std::atan2(direction.x, direction.z);
    angles.pitch = -std::atan2(direction.y, std::sqrt(direction.x * direction.x + direction.z * direction.z));
    return angles;
}

// The unit direction that LookAngles undoes.
inline Vec3 DirectionOf(float pitch, float heading)
{
    return {std::sin(heading) * std::cos(pitch), -std::sin(pitch), std::cos(heading) * std::cos(pitch)};
}

// Turns a point about the y axis by heading, as the engine's heading turns +z toward +x.
inline Vec3 TurnedY(Vec3 p, float heading)
{
    const float c = std::cos(heading), s = std::sin(heading);
    return {c * p.x + s * p.z, p.y, -s * p.x + c * p.z};
}

// Turns a point about the x axis by pitch, as the engine's pitch tips +z toward -y.
inline Vec3 TurnedX(Vec3 p, float pitch)
{
    const float c = std::cos(pitch), s = std::sin(pitch);
    return {p.x, c * p.y - s * p.z, s * p.y + c * p.z};
}

// Turns a point about the z axis by bank, +x toward +y.
inline Vec3 TurnedZ(Vec3 p, float bank)
{
    const float c = std::cos(bank), s = std::sin(bank);
    return {c * p.x - s * p.y, s * p.x + c * p.y, p.z};
}
