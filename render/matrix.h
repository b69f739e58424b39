// Matrix and vector math shared by the scene animation, the mesh stage and the
// Flare plugin, and the renderer's floating-point mode. All single precision;
// nothing here allocates or reports.
#pragma once

// 16 floats, row-major: element (row r, column c) is m[4r + c]. Points are
// column vectors (p' = M * p), so a transform applied after M multiplies on the
// left; the translation is (m[3], m[7], m[11]) and the bottom row stays
// (0, 0, 0, 1). Rotations are right-handed, in radians.
struct Matrix {
    float m[16] = {1.0f, 0.0f, 0.0f, 0.0f,  //
                   0.0f, 1.0f, 0.0f, 0.0f,  //
                   0.0f, 0.0f, 1.0f, 0.0f,  //
                   0.0f, 0.0f, 0.0f, 1.0f};

    Matrix& SetIdentity();

    // result = this * right as affine 3 x 4 products; the bottom rows are not
    // read and the result's is (0, 0, 0, 1). result may be this or right.
    Matrix& Multiply(Matrix& result, const Matrix& right) const;

    // This becomes Z(c) * X(a) * Y(-b) without translation. Called with one
    // angle at a time: (p, 0, 0) is X(p), (0, -h, 0) is Y(h), (0, 0, b) is Z(b).
    Matrix& SetRotation(float a, float b, float c);

    // Inverts in place by Gauss-Jordan elimination. A singular matrix (a
    // column with no pivot of magnitude above 1e-7) is left unchanged and
    // false is returned.
    bool Invert();
};

static_assert(sizeof(Matrix) == 16 * sizeof(float));

// out = Y(b) * X(a) * Z(c) * (x, y, z): with pitch a, heading b and bank c
// this applies an object's orientation to a direction. The outputs may be
// the inputs.
void RotateVector(float x, float y, float z, float a, float b, float c, float& outX, float& outY,
                  float& outZ);

// Angle of the direction (x, z) from +z toward +x, in [0, 2 pi); 0 for (0, 0).
// Y(HeadingOf(x, z)) turns +z toward (x, 0, z).
float HeadingOf(float x, float z);

// The renderer's constant record, read by the mesh stage. Constant-initialised,
// so it holds its values even for code that runs before main.
struct RenderConstants {
    float one;
    float zero;
    float half;
};

extern const RenderConstants gRenderConstants;

// Puts the processor in the renderer's mode: single precision is what SSE
// float arithmetic gives, so this sets round-to-nearest (ties to even) for
// the depth-key conversions. Set once before main and again by every mesh
// swim, since other code may change the mode between frames.
void SetRenderFloatMode();
