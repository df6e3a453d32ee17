#pragma once

#include "math/Matrix4.h"
#include "math/Vector3.h"

// The camera: a world-to-eye matrix plus the distances that place the focus
// point and the far point on the viewing ray, and the size of the display
// box drawn around the focus. Eye coordinates are OpenGL's: eye at the
// origin looking down -z, x right, y up.
//
// Operations that "post-multiply" set matrix := matrix * X, which applies X
// in eye coordinates after the existing transform. Angles are radians.
class View {
public:
    // The start orientation: yawed so that the eye looks diagonally across
    // the grid. The edit context then moves the eye to its start point.
    View();

    const Matrix4& matrix() const { return matrix_; }
    void set_matrix(const Matrix4& matrix) { matrix_ = matrix; }
    float focus_distance() const { return focus_distance_; }
    float far_offset() const { return far_offset_; }
    const Vector3& box_size() const { return box_size_; }
    void set_box_size(const Vector3& size) { box_size_ = size; }

    // Pitch, yaw and roll about the eye's own axes.
    void rotate_x(float angle);
    void rotate_y(float angle);
    void rotate_z(float angle);
    // Shift the scene by d along the eye's axis; a positive d moves the eye
    // left, down, or forward along its viewing direction.
    void translate_x(float d);
    void translate_y(float d);
    void translate_z(float d);

    Vector3 eye_position() const;
    Vector3 focus_point() const;
    Vector3 far_point() const;
    // The eye's axes in world coordinates; forward is the viewing direction.
    Vector3 right_vector() const;
    Vector3 up_vector() const;
    Vector3 forward_vector() const;

    // Places the eye at p without changing the orientation.
    void move_eye_to(const Vector3& p);

    // Moves the focus along the ray, keeping focus_distance + far_offset
    // fixed, with the focus distance held within [1, that sum].
    void set_focus_distance(float v);
    // Negative and not-a-number offsets become 0.
    void set_far_offset(float v);

    // Rolls the view about its viewing axis so that the right vector lies
    // level, across the world axis nearest to the current up direction.
    void compensate_twist();

    // Turns the view by angle about the world axis (0 x, 1 y, 2 z) through
    // the point as far ahead of the eye as centre is. With a non-negative
    // sign the eye travels counter-clockwise round the axis seen from its
    // tip; a negative sign reverses the direction.
    void orbit_about_world_axis(const Vector3& centre, int axis, float sign, float angle);
    // Pitches the view by angle about the eye's x axis through the same
    // pivot. axis and sign are accepted for symmetry with the turntable
    // orbit and not used.
    void orbit_pitch(const Vector3& centre, int axis, float sign, float angle);

private:
    void post_multiply(const Matrix4& x) { matrix_ *= x; }
    // The world point that the view maps to the eye point given.
    Vector3 world_point_of(const Vector3& eye_point) const;
    // The eye's direction given in eye coordinates, in world coordinates.
    Vector3 world_direction_of(const Vector3& eye_direction) const;
    // Advances the eye towards centre and returns how far it went.
    float advance_to_pivot(const Vector3& centre);

    Matrix4 matrix_;
    float focus_distance_ = 9.0f;
    float far_offset_ = 0.0f;
    Vector3 box_size_{32.0f, 16.0f, 32.0f};
};

// The world axis direction closest to v: returns the axis index (0 x, 1 y,
// 2 z) and writes +1.0 or -1.0 to sign_out. Ties keep the earlier candidate
// in the order +x, -x, +y, -y, +z, -z; a not-a-number vector gives +x.
int dominant_axis(const Vector3& v, double& sign_out);
