#pragma once

#include <cmath>

// A point or direction in world or eye coordinates. Components are stored as
// floats; every operation computes in double precision and rounds the stored
// result to float.
struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vector3() = default;
    Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    // Component by axis index: 0 = x, 1 = y, anything else = z.
    float& operator[](int axis) { return axis == 0 ? x : (axis == 1 ? y : z); }
    float operator[](int axis) const { return axis == 0 ? x : (axis == 1 ? y : z); }

    Vector3& operator+=(const Vector3& b) {
        x = static_cast<float>(double(x) + double(b.x));
        y = static_cast<float>(double(y) + double(b.y));
        z = static_cast<float>(double(z) + double(b.z));
        return *this;
    }
    Vector3& operator-=(const Vector3& b) {
        x = static_cast<float>(double(x) - double(b.x));
        y = static_cast<float>(double(y) - double(b.y));
        z = static_cast<float>(double(z) - double(b.z));
        return *this;
    }
    Vector3 operator+(const Vector3& b) const {
        Vector3 sum = *this;
        sum += b;
        return sum;
    }
    Vector3 operator-(const Vector3& b) const {
        Vector3 difference = *this;
        difference -= b;
        return difference;
    }
    Vector3 operator-() const { return Vector3(-x, -y, -z); }
    Vector3 operator*(float s) const {
        return Vector3(static_cast<float>(double(x) * s), static_cast<float>(double(y) * s),
                       static_cast<float>(double(z) * s));
    }

    double length() const {
        return std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    }

    // A zero vector becomes not-a-number in every component; callers that can
    // meet one check the length first.
    void normalise() {
        const double l = length();
        x = static_cast<float>(x / l);
        y = static_cast<float>(y / l);
        z = static_cast<float>(z / l);
    }
};

inline bool operator==(const Vector3& a, const Vector3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
inline bool operator!=(const Vector3& a, const Vector3& b) { return !(a == b); }

inline double dot(const Vector3& a, const Vector3& b) {
    return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}

inline Vector3 cross(const Vector3& a, const Vector3& b) {
    return Vector3(static_cast<float>(double(a.y) * b.z - double(a.z) * b.y),
                   static_cast<float>(double(a.z) * b.x - double(a.x) * b.z),
                   static_cast<float>(double(a.x) * b.y - double(a.y) * b.x));
}
