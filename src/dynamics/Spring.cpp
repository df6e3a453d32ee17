#include "dynamics/Spring.h"

#include <cmath>

Vector3 spring(const Vector3& p, const Vector3& u, const Vector3& t, float k, float h) {
    const float length_pad = 2.5e-7f;
    const float dx = p.x - t.x;
    const float dy = p.y - t.y;
    const float dz = p.z - t.z;
    const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
    const float padded = length + length_pad;
    const float damping = h * (dx * u.x + dy * u.y + dz * u.z) / padded;
    const float magnitude = -(k * length + damping);
    return Vector3(dx / padded * magnitude, dy / padded * magnitude, dz / padded * magnitude);
}
