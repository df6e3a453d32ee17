#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "interaction/GeometryExpect.h"
#include "interaction/View.h"

namespace {

constexpr float kPi = 3.14159265f;
const float kNan = std::numeric_limits<float>::quiet_NaN();

TEST(View, FocusDistanceStaysWithinOneAndTheFixedSum) {
    std::mt19937 rng(9);
    std::uniform_real_distribution<float> value(-20.0f, 200.0f);
    View view;
    float total = 9.0f;
    for (int step = 0; step < 2000; ++step) {
        const float requested = rng() % 10 == 0 ? kNan : value(rng);
        if (rng() % 4 == 0) {
            view.set_far_offset(requested);
            EXPECT_EQ(view.far_offset(), requested > 0.0f ? requested : 0.0f);
            total = view.focus_distance() + view.far_offset();
            continue;
        }
        view.set_focus_distance(requested);
        const float expected = !(requested >= 1.0f) ? 1.0f : std::min(requested, total);
        EXPECT_NEAR(view.focus_distance(), expected, 1e-4);
        EXPECT_NEAR(view.focus_distance() + view.far_offset(), total, 1e-3);
    }
}

TEST(View, DominantAxisPicksTheNearestAxisDirection) {
    double sign = 0.0;
    EXPECT_EQ(dominant_axis(Vector3(1, 1, 0), sign), 0);  // ties go to the first axis
    EXPECT_EQ(dominant_axis(Vector3(kNan, kNan, kNan), sign), 0);
    EXPECT_EQ(sign, 1.0);
    std::mt19937 rng(2);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    for (int trial = 0; trial < 1000; ++trial) {
        const Vector3 v(value(rng), value(rng), value(rng));
        const int axis = dominant_axis(v, sign);
        for (int other = 0; other < 3; ++other) EXPECT_GE(sign * v[axis], std::fabs(v[other]));
    }
}

TEST(View, CompensateTwistLevelsOnlyRolledViews) {
    std::mt19937 rng(4);
    std::uniform_real_distribution<float> yaw(-kPi, kPi), pitch(-0.75f, 0.75f), roll(-0.7f, 0.7f);
    for (int trial = 0; trial < 200; ++trial) {
        // Pitched less than 45 degrees, so world y stays the axis nearest up.
        View level;
        level.rotate_y(yaw(rng)), level.rotate_x(pitch(rng));
        level.move_eye_to(Vector3(100, 200, 300));
        View compensated = level;
        compensated.compensate_twist();
        expect_near(compensated.matrix(), level.matrix(), 0.0);

        // Directions are differences of float points: level precisely near
        // the origin.
        View rolled = level;
        rolled.move_eye_to(Vector3(1.5f, -2.5f, 3.5f));
        rolled.rotate_z(rng() % 2 ? roll(rng) : yaw(rng));
        double sign = 0.0;
        const int axis = dominant_axis(rolled.up_vector(), sign);
        Vector3 nearest_up;
        nearest_up[axis] = static_cast<float>(sign);
        const Vector3 forward = rolled.forward_vector(), eye = rolled.eye_position();
        rolled.compensate_twist();
        EXPECT_NEAR(dot(rolled.right_vector(), nearest_up), 0.0, 1e-4);
        EXPECT_GT(dot(rolled.up_vector(), nearest_up), 0.0);
        expect_near(rolled.forward_vector(), forward, 1e-4);
        expect_near(rolled.eye_position(), eye, 1e-5);
    }
    // Looking straight down the world y axis with up along z: nothing to level.
    View straight_down;
    straight_down.set_matrix(Matrix4::identity());
    straight_down.rotate_x(kPi / 2);
    View compensated = straight_down;
    compensated.compensate_twist();
    expect_near(compensated.matrix(), straight_down.matrix(), 0.0);
}

// The eye orbits a pivot on its viewing ray: the pivot stays put and on the
// ray at the same distance, and the eye travels round the axis through it.
TEST(View, OrbitsTurnAboutThePivotAhead) {
    std::mt19937 rng(8);
    std::uniform_real_distribution<float> angle(-0.5f, 0.5f), turn(-kPi, kPi), distance(5.0f, 60.0f);
    for (int trial = 0; trial < 200; ++trial) {
        View view;  // in an arbitrary orientation with its eye somewhere in a 3-level grid
        view.rotate_y(turn(rng)), view.rotate_x(turn(rng)), view.rotate_z(turn(rng));
        view.move_eye_to(Vector3(distance(rng) * 8, distance(rng) * 8, distance(rng) * 8));
        const float dist = distance(rng);
        const Vector3 eye = view.eye_position();
        const Vector3 pivot = eye + view.forward_vector() * dist;
        const int axis = static_cast<int>(rng() % 3);
        const float sign = rng() % 2 ? 1.0f : -1.0f;
        const float a = angle(rng);

        View turned = view;
        turned.orbit_about_world_axis(pivot, axis, sign, a);
        expect_near(turned.eye_position() + turned.forward_vector() * dist, pivot, 5e-3);
        Vector3 world_axis;
        world_axis[axis] = 1.0f;
        const Matrix4 turn = Matrix4::rotation_about_axis(sign * a, world_axis);
        expect_near(turned.eye_position() - pivot, turn.transform_point(eye - pivot), 5e-3);
        expect_near(turned.up_vector(), turn.transform_point(view.up_vector()), 1e-4);

        View pitched = view;
        pitched.orbit_pitch(pivot, axis, sign, a);
        expect_near(pitched.eye_position() + pitched.forward_vector() * dist, pivot, 5e-3);
        expect_near(pitched.right_vector(), view.right_vector(), 1e-4);
        EXPECT_NEAR(dot(pitched.forward_vector(), view.up_vector()), std::sin(a), 1e-4);
    }
}

}  // namespace
