#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "interaction/GeometryExpect.h"

namespace {

Matrix4 random_matrix(std::mt19937& rng, bool affine) {
    std::uniform_real_distribution<double> value(-3.0, 3.0);
    Matrix4 m;
    for (int i = 0; i < 16; ++i) m[i] = value(rng);
    if (affine) {
        m[3] = m[7] = m[11] = 0.0;
        m[15] = 1.0;
    }
    return m;
}

Vector3 random_point(std::mt19937& rng) {
    std::uniform_real_distribution<float> value(-10.0f, 10.0f);
    return Vector3(value(rng), value(rng), value(rng));
}

TEST(Vector3, ComputesInDoubleAndNormalisesZeroToNan) {
    // 2^24 + 1 is not a float, but the double result of dot keeps it.
    EXPECT_EQ(dot(Vector3(16777216.0f, 1.0f, 0.0f), Vector3(1.0f, 1.0f, 0.0f)), 16777217.0);
    EXPECT_EQ(cross(Vector3(1, 0, 0), Vector3(0, 1, 0)), Vector3(0, 0, 1));
    Vector3 zero;
    zero.normalise();
    EXPECT_TRUE(std::isnan(zero.x) && std::isnan(zero.y) && std::isnan(zero.z));
    Vector3 v(0, 3, 4);
    v.normalise();
    EXPECT_EQ(v, Vector3(0, 0.6f, 0.8f));
}

TEST(Matrix4, ProductAppliesTheLeftFactorFirst) {
    std::mt19937 rng(7);
    for (int trial = 0; trial < 200; ++trial) {
        const Matrix4 a = random_matrix(rng, true), b = random_matrix(rng, true);
        const Vector3 p = random_point(rng);
        expect_near((a * b).transform_point(p), b.transform_point(a.transform_point(p)), 1e-3);
        Matrix4 c = a;
        c *= b;
        expect_near(c, a * b, 0.0);
    }
    // Translate then rotate differs from rotate then translate.
    const Matrix4 t = Matrix4::translation(1, 0, 0), r = Matrix4::rotation_z(90.0f);
    expect_near((t * r).transform_point(Vector3()), Vector3(0, 1, 0), 1e-6);
    expect_near((r * t).transform_point(Vector3()), Vector3(1, 0, 0), 1e-6);
}

TEST(Matrix4, InverseAndAdjugateUndoTheMatrix) {
    std::mt19937 rng(11);
    for (int trial = 0; trial < 200; ++trial) {
        // A * adj(A) = det(A) * I holds only if both are right.
        const Matrix4 general = random_matrix(rng, false);
        const double det = general.determinant();
        expect_near(general * general.adjugate(), Matrix4::identity() * det, 1e-9 * (1 + std::fabs(det)));

        const Matrix4 affine = random_matrix(rng, true);
        if (std::fabs(affine.determinant()) < 0.1) continue;
        const Matrix4 inverse = affine.inverse();
        expect_near(affine * inverse, Matrix4::identity(), 1e-9);
        const Vector3 p = random_point(rng);
        expect_near(inverse.transform_point(affine.transform_point(p)), p, 1e-3);
    }
    EXPECT_EQ((Matrix4::identity() * 2.0).determinant(), 16.0);
    EXPECT_FALSE(std::isfinite((Matrix4::identity() * 0.0).inverse()[0]));
}

TEST(Matrix4, FactoriesAreRightHanded) {
    expect_near(Matrix4::translation(1, 2, 3).transform_point(Vector3()), Vector3(1, 2, 3), 0.0);
    expect_near(Matrix4::rotation_x(90.0f).transform_point(Vector3(0, 1, 0)), Vector3(0, 0, 1), 1e-7);
    expect_near(Matrix4::rotation_y(90.0f).transform_point(Vector3(0, 0, 1)), Vector3(1, 0, 0), 1e-7);
    expect_near(Matrix4::rotation_z(90.0f).transform_point(Vector3(1, 0, 0)), Vector3(0, 1, 0), 1e-7);
    EXPECT_EQ(Matrix4::translation(4, 5, 6).row(3), (std::array<double, 4>{4, 5, 6, 1}));

    const double radians = 0.7;
    const float degrees = static_cast<float>(radians * 57.29577951308232);
    expect_near(Matrix4::rotation_about_axis(radians, Vector3(2, 0, 0)), Matrix4::rotation_x(degrees), 1e-7);
    expect_near(Matrix4::rotation_about_axis(radians, Vector3(0, 3, 0)), Matrix4::rotation_y(degrees), 1e-7);
    expect_near(Matrix4::rotation_about_axis(radians, Vector3(0, 0, 1)), Matrix4::rotation_z(degrees), 1e-7);
    EXPECT_TRUE(std::isnan(Matrix4::rotation_about_axis(radians, Vector3())[0]));

    expect_near(Matrix4::rotation_z_from_cosine(std::cos(radians)), Matrix4::rotation_z(degrees), 1e-7);
    // A negative k negates both: the cosine becomes |k| and the sine negative.
    expect_near(Matrix4::rotation_z_from_cosine(-std::cos(radians)), Matrix4::rotation_z(-degrees), 1e-7);
}

}  // namespace
