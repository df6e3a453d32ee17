#include "math/Matrix4.h"

#include <cmath>

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;

}  // namespace

Matrix4::Matrix4() : m_{} {}

Matrix4::Matrix4(double m0, double m1, double m2, double m3, double m4, double m5, double m6,
                 double m7, double m8, double m9, double m10, double m11, double m12,
                 double m13, double m14, double m15)
    : m_{m0, m1, m2, m3, m4, m5, m6, m7, m8, m9, m10, m11, m12, m13, m14, m15} {}

void Matrix4::set(double m0, double m1, double m2, double m3, double m4, double m5, double m6,
                  double m7, double m8, double m9, double m10, double m11, double m12,
                  double m13, double m14, double m15) {
    *this = Matrix4(m0, m1, m2, m3, m4, m5, m6, m7, m8, m9, m10, m11, m12, m13, m14, m15);
}

std::array<double, 4> Matrix4::row(int r) const {
    return {m_[4 * r], m_[4 * r + 1], m_[4 * r + 2], m_[4 * r + 3]};
}

Matrix4 Matrix4::operator*(const Matrix4& b) const {
    Matrix4 product;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += at(i, k) * b.at(k, j);
            product.m_[4 * i + j] = sum;
        }
    }
    return product;
}

Matrix4& Matrix4::operator*=(const Matrix4& b) {
    *this = *this * b;
    return *this;
}

Matrix4 Matrix4::operator*(double s) const {
    Matrix4 scaled;
    for (int i = 0; i < 16; ++i) scaled.m_[i] = m_[i] * s;
    return scaled;
}

double Matrix4::minor(int struck_row, int struck_column) const {
    int rows[3];
    int columns[3];
    for (int i = 0, n = 0; i < 4; ++i)
        if (i != struck_row) rows[n++] = i;
    for (int i = 0, n = 0; i < 4; ++i)
        if (i != struck_column) columns[n++] = i;
    auto e = [&](int r, int c) { return at(rows[r], columns[c]); };
    return e(0, 0) * (e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1)) -
           e(0, 1) * (e(1, 0) * e(2, 2) - e(1, 2) * e(2, 0)) +
           e(0, 2) * (e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0));
}

double Matrix4::determinant() const {
    return at(0, 0) * minor(0, 0) - at(0, 1) * minor(0, 1) + at(0, 2) * minor(0, 2) -
           at(0, 3) * minor(0, 3);
}

Matrix4 Matrix4::adjugate() const {
    Matrix4 result;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            const double sign = ((i + j) % 2 == 0) ? 1.0 : -1.0;
            result.m_[4 * i + j] = sign * minor(j, i);
        }
    }
    return result;
}

Matrix4 Matrix4::inverse() const { return adjugate() * (1.0 / determinant()); }

Vector3 Matrix4::transform_point(const Vector3& p) const {
    const double x = p.x, y = p.y, z = p.z;
    return Vector3(static_cast<float>(x * m_[0] + y * m_[4] + z * m_[8] + m_[12]),
                   static_cast<float>(x * m_[1] + y * m_[5] + z * m_[9] + m_[13]),
                   static_cast<float>(x * m_[2] + y * m_[6] + z * m_[10] + m_[14]));
}

Matrix4 Matrix4::identity() {
    return Matrix4(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
}

Matrix4 Matrix4::translation(double x, double y, double z) {
    Matrix4 result = identity();
    result.m_[12] = x;
    result.m_[13] = y;
    result.m_[14] = z;
    return result;
}

Matrix4 Matrix4::rotation_x(float degrees) {
    const double radians = degrees * kRadiansPerDegree;
    const double c = std::cos(radians), s = std::sin(radians);
    Matrix4 result = identity();
    result.m_[5] = c;
    result.m_[6] = s;
    result.m_[9] = -s;
    result.m_[10] = c;
    return result;
}

Matrix4 Matrix4::rotation_y(float degrees) {
    const double radians = degrees * kRadiansPerDegree;
    const double c = std::cos(radians), s = std::sin(radians);
    Matrix4 result = identity();
    result.m_[0] = c;
    result.m_[2] = -s;
    result.m_[8] = s;
    result.m_[10] = c;
    return result;
}

namespace {

Matrix4 rotation_z_of(double c, double s) {
    Matrix4 result = Matrix4::identity();
    result[0] = c;
    result[1] = s;
    result[4] = -s;
    result[5] = c;
    return result;
}

}  // namespace

Matrix4 Matrix4::rotation_z(float degrees) {
    const double radians = degrees * kRadiansPerDegree;
    return rotation_z_of(std::cos(radians), std::sin(radians));
}

Matrix4 Matrix4::rotation_z_from_cosine(double k) {
    const double s = std::sqrt(1.0 - k * k);
    if (k < 0.0) return rotation_z_of(-k, -s);
    return rotation_z_of(k, s);
}

Matrix4 Matrix4::rotation_about_axis(double angle, const Vector3& axis) {
    const double length = axis.length();
    const double x = axis.x / length, y = axis.y / length, z = axis.z / length;
    const double co = std::cos(angle), si = std::sin(angle), t = 1.0 - co;
    return Matrix4(t * x * x + co, t * x * y + si * z, t * x * z - si * y, 0.0,
                   t * x * y - si * z, t * y * y + co, t * y * z + si * x, 0.0,
                   t * x * z + si * y, t * y * z - si * x, t * z * z + co, 0.0,
                   0.0, 0.0, 0.0, 1.0);
}
