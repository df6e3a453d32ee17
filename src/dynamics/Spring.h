#pragma once

#include "math/Vector3.h"

// Force of a damped spring of rest length zero pulling a point at p, moving with velocity u, toward the fixed
// target t, with stiffness k and damping h. Computed in single precision:
//   d = p - t, L = |d|, L' = L + 2.5e-7, f = -(k * L + h * (d . u) / L'), force = (d / L') * f.
// The small constant added to the length keeps a point sitting exactly on its target finite (zero force).
Vector3 spring(const Vector3& p, const Vector3& u, const Vector3& t, float k, float h);
