#include "interaction/View.h"

#include <cmath>

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;

float to_degrees(float radians) { return static_cast<float>(radians * kDegreesPerRadian); }

// Below this size the up vector is taken to be level already.
constexpr double kLevelTolerance = 0.0001;

}  // namespace

View::View() {
    const Matrix4 quarter_turn = Matrix4::rotation_y(45.0f);
    matrix_ = quarter_turn * quarter_turn * quarter_turn * quarter_turn;
    post_multiply(Matrix4::translation(-38.0, -16.0, -38.0));
    post_multiply(Matrix4::rotation_y(-45.0f));
}

void View::rotate_x(float angle) { post_multiply(Matrix4::rotation_x(to_degrees(angle))); }
void View::rotate_y(float angle) { post_multiply(Matrix4::rotation_y(to_degrees(angle))); }
void View::rotate_z(float angle) { post_multiply(Matrix4::rotation_z(to_degrees(angle))); }

void View::translate_x(float d) { post_multiply(Matrix4::translation(d, 0.0, 0.0)); }
void View::translate_y(float d) { post_multiply(Matrix4::translation(0.0, d, 0.0)); }
void View::translate_z(float d) { post_multiply(Matrix4::translation(0.0, 0.0, d)); }

Vector3 View::world_point_of(const Vector3& eye_point) const {
    return matrix_.inverse().transform_point(eye_point);
}

Vector3 View::world_direction_of(const Vector3& eye_direction) const {
    const Matrix4 to_world = matrix_.inverse();
    return to_world.transform_point(eye_direction) - to_world.transform_point(Vector3());
}

Vector3 View::eye_position() const { return world_point_of(Vector3()); }

Vector3 View::focus_point() const { return world_point_of(Vector3(0.0f, 0.0f, -focus_distance_)); }

Vector3 View::far_point() const {
    const float depth = static_cast<float>(double(focus_distance_) + far_offset_);
    return world_point_of(Vector3(0.0f, 0.0f, -depth));
}

Vector3 View::right_vector() const { return world_direction_of(Vector3(1.0f, 0.0f, 0.0f)); }
Vector3 View::up_vector() const { return world_direction_of(Vector3(0.0f, 1.0f, 0.0f)); }
Vector3 View::forward_vector() const { return world_direction_of(Vector3(0.0f, 0.0f, -1.0f)); }

void View::move_eye_to(const Vector3& p) {
    const Vector3 q = matrix_.transform_point(p);
    post_multiply(Matrix4::translation(-q.x, -q.y, -q.z));
}

void View::set_focus_distance(float v) {
    const float total = static_cast<float>(double(focus_distance_) + far_offset_);
    float d;
    if (!(v >= 1.0f)) {
        d = 1.0f;  // also for not-a-number, which would otherwise poison both distances
    } else if (v > total) {
        d = total;
    } else {
        d = v;
    }
    far_offset_ = static_cast<float>(double(far_offset_) - (double(d) - focus_distance_));
    focus_distance_ = d;
}

void View::set_far_offset(float v) { far_offset_ = v > 0.0f ? v : 0.0f; }

void View::compensate_twist() {
    double sign = 1.0;
    const int axis = dominant_axis(up_vector(), sign);
    Vector3 level_up;
    level_up[axis] = static_cast<float>(sign);

    const Vector3 right = right_vector();
    const Vector3 up = up_vector();
    const Vector3 forward = forward_vector();
    Vector3 level_right = cross(forward, level_up);
    level_right.normalise();

    // d is the cosine of the roll that brings the right vector level; it is
    // not a number when the view looks straight along level_up.
    const double d = dot(level_right, right);
    if (!(d > -1.0 && d < 1.0)) return;
    const double e = dot(level_right, up);
    double k;
    if (e < -kLevelTolerance) {
        k = d;
    } else if (e <= kLevelTolerance) {
        return;
    } else {
        k = -d;
    }
    post_multiply(Matrix4::rotation_z_from_cosine(k));
}

float View::advance_to_pivot(const Vector3& centre) {
    const float dist = static_cast<float>((centre - eye_position()).length());
    translate_z(dist);
    return dist;
}

void View::orbit_about_world_axis(const Vector3& centre, int axis, float sign, float angle) {
    const float dist = advance_to_pivot(centre);
    Vector3 axis_point;
    axis_point[axis] = 1.0f;
    axis_point += eye_position();
    const Vector3 axis_in_eye = matrix_.transform_point(axis_point);
    const float turn = sign >= 0.0f ? -angle : angle;
    post_multiply(Matrix4::rotation_about_axis(turn, axis_in_eye));
    translate_z(-dist);
}

void View::orbit_pitch(const Vector3& centre, int /*axis*/, float /*sign*/, float angle) {
    const float dist = advance_to_pivot(centre);
    rotate_x(-angle);
    translate_z(-dist);
}

int dominant_axis(const Vector3& v, double& sign_out) {
    struct Candidate {
        Vector3 direction;
        int axis;
        double sign;
    };
    static const Candidate candidates[] = {
        {Vector3(1, 0, 0), 0, 1.0},  {Vector3(-1, 0, 0), 0, -1.0}, {Vector3(0, 1, 0), 1, 1.0},
        {Vector3(0, -1, 0), 1, -1.0}, {Vector3(0, 0, 1), 2, 1.0},  {Vector3(0, 0, -1), 2, -1.0}};
    const Candidate* best = &candidates[0];
    double best_dot = dot(v, best->direction);
    for (const Candidate& c : candidates) {
        const double d = dot(v, c.direction);
        if (d > best_dot) {
            best_dot = d;
            best = &c;
        }
    }
    sign_out = best->sign;
    return best->axis;
}
