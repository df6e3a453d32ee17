#pragma once

#include <array>

#include "math/Vector3.h"

// A 4 x 4 matrix of doubles in the element order glLoadMatrixd takes.
// Element (r, c) is m[4r + c]. Points are row vectors multiplied from the
// left, p' = (x, y, z, 1) * M, so the translation sits in m12..m14 and
// p * (A * B) applies A first, then B.
class Matrix4 {
public:
    // All sixteen elements zero.
    Matrix4();
    Matrix4(double m0, double m1, double m2, double m3, double m4, double m5, double m6,
            double m7, double m8, double m9, double m10, double m11, double m12, double m13,
            double m14, double m15);

    void set(double m0, double m1, double m2, double m3, double m4, double m5, double m6,
             double m7, double m8, double m9, double m10, double m11, double m12, double m13,
             double m14, double m15);

    double& operator[](int index) { return m_[index]; }
    double operator[](int index) const { return m_[index]; }
    double at(int row, int column) const { return m_[4 * row + column]; }
    // The sixteen elements, ready for glLoadMatrixd.
    const double* data() const { return m_; }

    std::array<double, 4> row(int r) const;

    Matrix4 operator*(const Matrix4& b) const;
    Matrix4& operator*=(const Matrix4& b);
    Matrix4 operator*(double s) const;

    double determinant() const;
    // The transpose of the cofactor matrix.
    Matrix4 adjugate() const;
    // adjugate / determinant; a singular matrix yields non-finite elements.
    Matrix4 inverse() const;

    // The affine image of p (the fourth column is ignored: no division by w).
    Vector3 transform_point(const Vector3& p) const;

    static Matrix4 identity();
    static Matrix4 translation(double x, double y, double z);
    // Right-handed rotations about the coordinate axes, angles in degrees.
    static Matrix4 rotation_x(float degrees);
    static Matrix4 rotation_y(float degrees);
    static Matrix4 rotation_z(float degrees);
    // A rotation about z given by its cosine k; the sine is sqrt(1 - k^2),
    // and for a negative k both are negated.
    static Matrix4 rotation_z_from_cosine(double k);
    // Right-handed rotation by angle (radians) about axis through the origin.
    static Matrix4 rotation_about_axis(double angle, const Vector3& axis);

private:
    // Determinant of the 3 x 3 matrix left when row and column are struck out.
    double minor(int struck_row, int struck_column) const;

    double m_[16];
};
