// Matrix and vector math checked against rotations and products written out
// here independently: headings, the rotation conventions, affine products
// with aliasing, inversion with the row exchange, and the rounding mode.
#include "render/matrix.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <random>

namespace {

constexpr float PI = 3.14159265f;
constexpr float TOLERANCE = 1e-5f;

struct Vec3 {
    float x, y, z;
};

Matrix FromRows(const float (&rows)[16])
{
    Matrix matrix;
    std::copy(rows, rows + 16, matrix.m);
    return matrix;
}

Matrix RotationX(float t)
{
    const float c = std::cos(t), s = std::sin(t);
    return FromRows({1, 0, 0, 0, 0, c, -s, 0, 0, s, c, 0, 0, 0, 0, 1});
}

Matrix RotationY(float t)
{
    const float c = std::cos(t), s = std::sin(t);
    return FromRows({c, 0, s, 0, 0, 1, 0, 0, -s, 0, c, 0, 0, 0, 0, 1});
}

Matrix RotationZ(float t)
{
    const float c = std::cos(t), s = std::sin(t);
    return FromRows({c, -s, 0, 0, s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
}

Matrix Translation(float x, float y, float z)
{
    return FromRows({1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, z, 0, 0, 0, 1});
}

// The full 4 x 4 product in double precision, as a reference.
Matrix Product(const Matrix& l, const Matrix& r)
{
    Matrix p;
    for (int row = 0; row < 4; ++row) {
        for (int c = 0; c < 4; ++c) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += static_cast<double>(l.m[4 * row + k]) * r.m[4 * k + c];
            p.m[4 * row + c] = static_cast<float>(sum);
        }
    }
    return p;
}

Vec3 Apply(const Matrix& m, Vec3 v)
{
    return {m.m[0] * v.x + m.m[1] * v.y + m.m[2] * v.z + m.m[3],
            m.m[4] * v.x + m.m[5] * v.y + m.m[6] * v.z + m.m[7],
            m.m[8] * v.x + m.m[9] * v.y + m.m[10] * v.z + m.m[11]};
}

void ExpectNear(const Vec3& actual, const Vec3& expected, float tolerance = TOLERANCE)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void ExpectNear(const Matrix& actual, const Matrix& expected, float tolerance = TOLERANCE)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual.m[i], expected.m[i], tolerance) << "element " << i;
}

// A rotation by random angles and a translation within 100 of the origin.
Matrix RandomRigid(std::mt19937& random)
{
    std::uniform_real_distribution<float> angle(-PI, PI);
    std::uniform_real_distribution<float> offset(-100.0f, 100.0f);
    Matrix rotation;
    RotationY(angle(random)).Multiply(rotation, RotationX(angle(random)));
    rotation.Multiply(rotation, RotationZ(angle(random)));
    Matrix rigid;
    return Translation(offset(random), offset(random), offset(random)).Multiply(rigid, rotation);
}

// HeadingOf measures from +z toward +x into [0, 2 pi).

TEST(HeadingOf, GivesTheAngleFromPlusZTowardPlusXInEveryQuadrant)
{
    EXPECT_NEAR(HeadingOf(0.0f, 1.0f), 0.0f, TOLERANCE);
    EXPECT_NEAR(HeadingOf(1.0f, 1.0f), PI / 4.0f, TOLERANCE);
    EXPECT_NEAR(HeadingOf(1.0f, 0.0f), PI / 2.0f, TOLERANCE);
    EXPECT_NEAR(HeadingOf(1.0f, -1.0f), 3.0f * PI / 4.0f, TOLERANCE);
    EXPECT_NEAR(HeadingOf(0.0f, -1.0f), PI, TOLERANCE);
    EXPECT_NEAR(HeadingOf(-1.0f, -1.0f), 5.0f * PI / 4.0f, TOLERANCE);
    EXPECT_NEAR(HeadingOf(-1.0f, 0.0f), 3.0f * PI / 2.0f, TOLERANCE);
    EXPECT_NEAR(HeadingOf(-1.0f, 1.0f), 7.0f * PI / 4.0f, TOLERANCE);
}

TEST(HeadingOf, IsZeroAtTheOrigin)
{
    EXPECT_EQ(HeadingOf(0.0f, 0.0f), 0.0f);
}

TEST(HeadingOf, TurnsPlusZOntoTheDirectionAllAroundTheCircle)
{
    for (int degrees = 0; degrees < 360; degrees += 5) {
        const float expected = static_cast<float>(degrees) * PI / 180.0f;
        const float x = 3.0f * std::sin(expected), z = 3.0f * std::cos(expected);
        const float heading = HeadingOf(x, z);
        EXPECT_NEAR(heading, expected, 1e-4f) << degrees << " degrees";
        Matrix turn;
        turn.SetRotation(0.0f, -heading, 0.0f);
        ExpectNear(Apply(turn, {0, 0, 1}), {x / 3.0f, 0.0f, z / 3.0f}, 1e-4f);
    }
}

// SetRotation builds Z(c) * X(a) * Y(-b); one angle at a time gives the
// standard rotations.

TEST(SetRotation, MinusAQuarterTurnOfBTurnsPlusZOntoPlusX)
{
    Matrix rotation;
    rotation.SetRotation(0.0f, -PI / 2.0f, 0.0f);
    ExpectNear(Apply(rotation, {0, 0, 1}), {1, 0, 0});
}

TEST(SetRotation, SingleAnglesGiveTheStandardRotations)
{
    for (const float angle : {0.3f, -1.2f, 2.9f}) {
        Matrix rotation;
        ExpectNear(rotation.SetRotation(angle, 0.0f, 0.0f), RotationX(angle));
        ExpectNear(rotation.SetRotation(0.0f, -angle, 0.0f), RotationY(angle));
        ExpectNear(rotation.SetRotation(0.0f, 0.0f, angle), RotationZ(angle));
    }
}

TEST(SetRotation, ThreeAnglesComposeZThenXThenMinusY)
{
    const float a = 0.7f, b = -1.9f, c = 2.4f;
    Matrix rotation = Translation(5, 6, 7);
    rotation.m[12] = 9.0f;
    rotation.SetRotation(a, b, c);
    ExpectNear(rotation, Product(Product(RotationZ(c), RotationX(a)), RotationY(-b)));
}

// RotateVector applies Y(b) * X(a) * Z(c), the orientation of an object.

TEST(RotateVector, TurnsADirectionBackByAHeading)
{
    Vec3 out{};
    RotateVector(1.0f, 0.0f, 1.0f, 0.0f, -PI / 4.0f, 0.0f, out.x, out.y, out.z);
    ExpectNear(out, {0.0f, 0.0f, std::sqrt(2.0f)});
}

TEST(RotateVector, AgreesWithTheOrientationBuiltFromRotationMatrices)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<float> angle(-PI, PI);
    for (int i = 0; i < 50; ++i) {
        const float pitch = angle(random), heading = angle(random), bank = angle(random);
        Matrix y, x, z, orientation;
        y.SetRotation(0.0f, -heading, 0.0f);
        x.SetRotation(pitch, 0.0f, 0.0f);
        z.SetRotation(0.0f, 0.0f, bank);
        y.Multiply(orientation, x).Multiply(orientation, z);
        Vec3 out{};
        RotateVector(0.5f, -2.0f, 1.5f, pitch, heading, bank, out.x, out.y, out.z);
        ExpectNear(out, Apply(orientation, {0.5f, -2.0f, 1.5f}));
    }
}

TEST(RotateVector, OutputsMayBeTheInputs)
{
    Vec3 separate{};
    RotateVector(0.5f, -2.0f, 1.5f, 0.4f, 1.1f, -0.6f, separate.x, separate.y, separate.z);
    Vec3 inPlace{0.5f, -2.0f, 1.5f};
    RotateVector(inPlace.x, inPlace.y, inPlace.z, 0.4f, 1.1f, -0.6f, inPlace.x, inPlace.y, inPlace.z);
    EXPECT_EQ(inPlace.x, separate.x);
    EXPECT_EQ(inPlace.y, separate.y);
    EXPECT_EQ(inPlace.z, separate.z);
}

// Multiply: this * right as an affine product, whichever matrix receives it.

TEST(Multiply, TheLeftFactorIsAppliedAfterTheRight)
{
    Matrix result;
    Translation(1, 2, 3).Multiply(result, RotationZ(PI / 2.0f));
    ExpectNear(Apply(result, {1, 0, 0}), {1, 3, 3});
}

TEST(Multiply, MatchesTheFullProductOfAffineMatricesAndIgnoresTheBottomRows)
{
    std::mt19937 random(3);
    for (int i = 0; i < 20; ++i) {
        const Matrix left = RandomRigid(random), right = RandomRigid(random);
        Matrix dirtyLeft = left, dirtyRight = right;
        dirtyLeft.m[12] = dirtyRight.m[13] = 5.0f;
        dirtyLeft.m[15] = dirtyRight.m[14] = -3.0f;
        Matrix result;
        dirtyLeft.Multiply(result, dirtyRight);
        ExpectNear(result, Product(left, right), 1e-3f);
        EXPECT_EQ(result.m[12], 0.0f);
        EXPECT_EQ(result.m[13], 0.0f);
        EXPECT_EQ(result.m[14], 0.0f);
        EXPECT_EQ(result.m[15], 1.0f);
    }
}

TEST(Multiply, ResultMayBeEitherFactor)
{
    std::mt19937 random(5);
    const Matrix left = RandomRigid(random), right = RandomRigid(random);
    Matrix separate;
    left.Multiply(separate, right);

    Matrix intoRight = right;
    EXPECT_EQ(&left.Multiply(intoRight, intoRight), &intoRight);
    Matrix intoLeft = left;
    intoLeft.Multiply(intoLeft, right);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(intoRight.m[i], separate.m[i]) << "element " << i;
        EXPECT_EQ(intoLeft.m[i], separate.m[i]) << "element " << i;
    }
}

TEST(SetIdentity, ANewMatrixIsTheIdentityAndSetIdentityRestoresIt)
{
    Matrix matrix = RotationX(1.0f);
    matrix.m[3] = 4.0f;
    matrix.m[14] = 2.0f;
    ExpectNear(matrix.SetIdentity(), Matrix{}, 0.0f);
    ExpectNear(Matrix{}, Translation(0, 0, 0), 0.0f);
}

// Invert: Gauss-Jordan with a row exchange when a pivot is too small.

TEST(Invert, TranslationInvertsToTheOppositeTranslation)
{
    Matrix matrix = Translation(1, 2, 3);
    ASSERT_TRUE(matrix.Invert());
    ExpectNear(matrix, Translation(-1, -2, -3));
}

TEST(Invert, QuarterTurnAboutZNeedsTheRowExchange)
{
    Matrix matrix = RotationZ(PI / 2.0f);
    matrix.m[0] = 0.0f;
    matrix.m[5] = 0.0f;
    ASSERT_TRUE(matrix.Invert());
    ExpectNear(matrix, FromRows({0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
}

TEST(Invert, PermutationNeedingSeveralExchangesInvertsToItsTranspose)
{
    Matrix matrix = FromRows({0, 0, 1, 4, 1, 0, 0, 5, 0, 1, 0, 6, 0, 0, 0, 1});
    ASSERT_TRUE(matrix.Invert());
    ExpectNear(matrix, FromRows({0, 1, 0, -5, 0, 0, 1, -6, 1, 0, 0, -4, 0, 0, 0, 1}));
}

// The elimination takes the first usable pivot, not the largest, so with
// offsets up to 100 the translation keeps about five significant digits.
void ExpectNearIdentity(const Matrix& product)
{
    const Matrix identity;
    for (int i = 0; i < 16; ++i) {
        const bool translation = i == 3 || i == 7 || i == 11;
        EXPECT_NEAR(product.m[i], identity.m[i], translation ? 1e-2f : 1e-4f) << "element " << i;
    }
}

TEST(Invert, RigidTransformTimesItsInverseIsTheIdentity)
{
    std::mt19937 random(1234);
    for (int i = 0; i < 200; ++i) {
        const Matrix original = RandomRigid(random);
        Matrix inverse = original;
        ASSERT_TRUE(inverse.Invert());
        Matrix product;
        ExpectNearIdentity(inverse.Multiply(product, original));
        ExpectNearIdentity(original.Multiply(product, inverse));
    }
}

TEST(Invert, SingularMatrixIsLeftUnchanged)
{
    Matrix flat = Translation(1, 2, 3);
    flat.m[10] = 0.0f;
    const Matrix before = flat;
    EXPECT_FALSE(flat.Invert());
    ExpectNear(flat, before, 0.0f);
}

// The renderer's mode rounds the depth keys to nearest, ties to even.

TEST(RenderFloatMode, RestoresRoundToNearestAfterOtherCodeChangedIt)
{
    const int saved = std::fegetround();
    ASSERT_EQ(std::fesetround(FE_UPWARD), 0);
    SetRenderFloatMode();
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
    volatile float tie = 2.5f;
    EXPECT_EQ(std::nearbyintf(tie), 2.0f);
    EXPECT_EQ(std::lrintf(tie + 1.0f), 4L);
    std::fesetround(saved);
}

}  // namespace
