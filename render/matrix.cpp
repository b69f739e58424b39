// Matrix products, rotations, inversion, direction helpers and the renderer's
// floating-point mode. Matrices here are affine unless a caller built
// otherwise; Invert alone works on the full 4 x 4.
#include "render/matrix.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace {

constexpr float PI = 3.14159265359f;
constexpr float TWO_PI = 6.28318530718f;
constexpr float HALF_PI = PI / 2.0f;
constexpr float PIVOT_EPSILON = 1e-7f;
constexpr int ROWS = 4;
constexpr int WIDE_COLUMNS = 8;  // [M | I]

using WideRows = float[ROWS][WIDE_COLUMNS];

// [M | I] for the elimination.
void Widen(const Matrix& matrix, WideRows& a)
{
    for (int r = 0; r < ROWS; ++r) {
        for (int c = 0; c < ROWS; ++c) {
            a[r][c] = matrix.m[4 * r + c];
            a[r][ROWS + c] = r == c ? 1.0f : 0.0f;
        }
    }
}

// Makes a[i][i] usable by exchanging row i with the first later row whose
// entry in column i is above the threshold. False when there is none.
bool PreparePivot(WideRows& a, int i)
{
    if (std::fabs(a[i][i]) >= PIVOT_EPSILON)
        return true;
    for (int j = i + 1; j < ROWS; ++j) {
        if (std::fabs(a[j][i]) > PIVOT_EPSILON) {
            std::swap(a[i], a[j]);
            return true;
        }
    }
    return false;
}

// Scales row i to a pivot of 1 and clears column i in every other row.
void Eliminate(WideRows& a, int i)
{
    const float pivot = a[i][i];
    for (float& x : a[i])
        x /= pivot;
    for (int r = 0; r < ROWS; ++r) {
        if (r == i)
            continue;
        const float factor = a[r][i];
        for (int c = 0; c < WIDE_COLUMNS; ++c)
            a[r][c] -= factor * a[i][c];
    }
}

}  // namespace

Matrix& Matrix::SetIdentity()
{
    std::fill(m, m + 16, 0.0f);
    m[0] = m[5] = m[10] = m[15] = 1.0f;
    return *this;
}

Matrix& Matrix::Multiply(Matrix& result, const Matrix& right) const
{
    // Built aside first: result may be either factor.
    float product[16];
    const float* const l = m;
    const float* const r = right.m;
    for (int row = 0; row < 3; ++row) {
        const float* const lr = l + 4 * row;
        for (int c = 0; c < 3; ++c)
            product[4 * row + c] = lr[0] * r[c] + lr[1] * r[4 + c] + lr[2] * r[8 + c];
        product[4 * row + 3] = lr[0] * r[3] + lr[1] * r[7] + lr[2] * r[11] + lr[3];
    }
    product[12] = product[13] = product[14] = 0.0f;
    product[15] = 1.0f;
    std::copy(product, product + 16, result.m);
    return result;
}

Matrix& Matrix::SetRotation(float a, float b, float c)
{
    const float sa = std::sin(a), ca = std::cos(a);
    const float sb = std::sin(b), cb = std::cos(b);
    const float sc = std::sin(c), cc = std::cos(c);
    // Z(c) * X(a) * Y(-b), multiplied out.
    const float rows[16] = {
        cc * cb + sc * sa * sb, -sc * ca, sc * sa * cb - cc * sb, 0.0f,  //
        sc * cb - cc * sa * sb, cc * ca,  -sc * sb - cc * sa * cb, 0.0f,  //
        ca * sb,                sa,       ca * cb,                 0.0f,  //
        0.0f,                   0.0f,     0.0f,                    1.0f};
    std::copy(rows, rows + 16, m);
    return *this;
}

bool Matrix::Invert()
{
    WideRows a;
    Widen(*this, a);
    for (int i = 0; i < ROWS; ++i) {
        if (!PreparePivot(a, i))
            return false;
        Eliminate(a, i);
    }
    for (int r = 0; r < ROWS; ++r)
        std::copy(a[r] + ROWS, a[r] + WIDE_COLUMNS, m + 4 * r);
    return true;
}

void RotateVector(float x, float y, float z, float a, float b, float c, float& outX, float& outY,
                  float& outZ)
{
    const float sa = std::sin(a), ca = std::cos(a);
    const float sb = std::sin(b), cb = std::cos(b);
    const float sc = std::sin(c), cc = std::cos(c);
    // Every input is read before the first output is written: they may alias.
    const float rx = (sa * sb * sc + cb * cc) * x + (sa * sb * cc - cb * sc) * y + (sb * ca) * z;
    const float ry = (sc * ca) * x + (cc * ca) * y - sa * z;
    const float rz = (sa * cb * sc - sb * cc) * x + (sb * sc + sa * cb * cc) * y + (cb * ca) * z;
    outX = rx;
    outY = ry;
    outZ = rz;
}

float HeadingOf(float x, float z)
{
    if (x == 0.0f && z == 0.0f)
        return 0.0f;
    float e = z != 0.0f ? std::atan(std::fabs(x / z)) : HALF_PI;
    if (x >= 0.0f && z < 0.0f)
        e = PI - e;
    else if (x < 0.0f && z > 0.0f)
        e = TWO_PI - e;
    else if (x < 0.0f && z <= 0.0f)
        e = e + PI;
    return e;
}

void SetRenderFloatMode()
{
    std::fesetround(FE_TONEAREST);
}
