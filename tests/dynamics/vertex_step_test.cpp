#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "dynamics/RecordingMesh.h"
#include "dynamics/SurfaceVertexSet.h"

namespace {

// The step's formulas in double precision, written out independently of the code under test.
struct D3 {
    double x, y, z;
};
D3 d3(const Vector3& v) { return {v.x, v.y, v.z}; }
D3 operator+(D3 a, D3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
D3 operator*(D3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double dot(D3 a, D3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

D3 model_spring(D3 p, D3 u, D3 t, double k, double h) {
    const D3 d = p + t * -1.0;
    const double length = std::sqrt(dot(d, d)), padded = length + 2.5e-7;
    return d * (-(k * length + h * dot(d, u) / padded) / padded);
}

void expect_close(const Vector3& actual, D3 expected, const char* what) {
    const double tolerance = 2e-5 * (1.0 + std::sqrt(dot(expected, expected)));
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}

PhysicsParameters only(bool grid, bool dynamic, bool fixed, bool drag) {
    PhysicsParameters k;
    k.do_grid_spring = grid, k.do_dynamic_neighbour_spring = dynamic;
    k.do_static_neighbour_spring = fixed, k.do_viscous_drag = drag;
    k.time_step = 0.05f, k.viscous_drag = 0.3f, k.grid_stiffness = 0.7f, k.grid_damping = 0.4f;
    k.neighbour_stiffness = 1.3f, k.neighbour_damping = 0.6f;
    return k;
}

// A vertex at (10, 10, 10) with three neighbours; each buffer of each vertex holds different random state.
struct Star {
    SurfaceVertexSet set{3};
    SurfaceVertex* centre = nullptr;
    std::vector<VertexIndex> arms;

    explicit Star(unsigned seed) {
        const uint32_t voxels[4][3] = {{10, 10, 10}, {11, 10, 10}, {10, 12, 10}, {9, 10, 11}};
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> c(-2.0f, 2.0f);
        for (int i = 1; i < 4; ++i)
            arms.push_back(set.find_or_create_index(set.make_key(voxels[i][0], voxels[i][1], voxels[i][2])));
        centre = &set.set_vertex(set.make_key(10, 10, 10), 3, arms.data());
        for (const SurfaceVertex& v : set) {
            SurfaceVertex& s = *set.find(set.key_of(v));
            for (int b = 0; b < 2; ++b) {
                s.position[b] = Vector3(v.anchor().x + c(rng), v.anchor().y + c(rng), v.anchor().z + c(rng));
                s.velocity[b] = Vector3(c(rng), c(rng), c(rng));
            }
        }
    }
};

// One step of each force alone and of all together, against the double-precision formula.
TEST(VertexStep, EachForceGivesOneStepOfTheFormula) {
    const PhysicsParameters cases[] = {only(true, false, false, false), only(false, true, false, false),
                                       only(false, false, true, false), only(false, false, false, true),
                                       only(true, true, true, true)};
    for (unsigned seed = 0; seed < 20; ++seed) {
        Star star(seed);
        const SurfaceVertex& c = *star.centre;
        const D3 p = d3(c.position[0]), u = d3(c.velocity[0]);  // odd frames read buffer 0, write buffer 1
        D3 moving_mean{0, 0, 0}, fixed_mean{0, 0, 0};
        for (const VertexIndex arm : star.arms) {
            moving_mean = moving_mean + d3(star.set.vertex(arm).position[0]) * (1.0 / 3);
            fixed_mean = fixed_mean + d3(star.set.vertex(arm).anchor()) * (1.0 / 3);
        }
        uint32_t frame = 1;
        for (const PhysicsParameters& k : cases) {
            D3 force{0, 0, 0};
            if (k.do_grid_spring) force = force + model_spring(p, u, d3(c.anchor()), k.grid_stiffness, k.grid_damping);
            if (k.do_dynamic_neighbour_spring)
                force = force + model_spring(p, u, moving_mean, k.neighbour_stiffness, k.neighbour_damping);
            if (k.do_static_neighbour_spring)
                force = force + model_spring(p, u, fixed_mean, k.neighbour_stiffness, k.neighbour_damping);
            if (k.do_viscous_drag) force = force + u * -k.viscous_drag;

            RecordingMesh mesh;
            frame += 2;
            EXPECT_EQ(star.set.advance_and_emit(10, 10, 10, frame, mesh, k), 0u);
            ASSERT_EQ(mesh.positions.size(), 1u);
            expect_close(c.velocity[1], u + force * k.time_step, "velocity");
            expect_close(mesh.positions[0], p + u * k.time_step, "position moves with the old velocity");
            EXPECT_EQ(mesh.positions[0].x, c.position[1].x);
        }
    }
}

TEST(VertexStep, VertexOnEveryTargetOrWithoutNeighboursStaysFinite) {
    SurfaceVertexSet set(3);
    // Neighbours symmetric about the centre: every spring's target is its own anchor.
    const VertexIndex sides[2] = {set.find_or_create_index(set.make_key(9, 10, 10)),
                                  set.find_or_create_index(set.make_key(11, 10, 10))};
    SurfaceVertex& centre = set.set_vertex(set.make_key(10, 10, 10), 2, sides);
    SurfaceVertex& lonely = set.find_or_create(set.make_key(20, 20, 20));
    lonely.position[0] = Vector3(20.5f, 19.0f, 20.25f);
    RecordingMesh mesh;
    for (uint32_t frame = 1; frame <= 50; ++frame) {
        set.advance_and_emit(10, 10, 10, frame, mesh, only(true, true, true, true));
        set.advance_and_emit(20, 20, 20, frame, mesh, only(true, true, true, true));
    }
    for (int b = 0; b < 2; ++b) {
        EXPECT_TRUE(centre.position[b].x == 10.0f && centre.position[b].y == 10.0f && centre.velocity[b].z == 0.0f);
        EXPECT_TRUE(std::isfinite(lonely.position[b].x) && std::isfinite(lonely.velocity[b].y));
    }
}

// With physics switched off after two steps, frames alternate between the last two steps' positions and
// nothing is written; a snap then puts the vertex back at rest.
TEST(VertexStep, PhysicsOffShowsReadBufferByParityAndSnapResets) {
    SurfaceVertexSet set(3);
    SurfaceVertex& v = set.find_or_create(set.make_key(4, 4, 4));
    v.position[0] = Vector3(5.0f, 4.0f, 4.0f);
    PhysicsParameters physics = only(true, false, false, false);
    RecordingMesh mesh;
    set.advance_and_emit(4, 4, 4, 1, mesh, physics);
    set.advance_and_emit(4, 4, 4, 2, mesh, physics);
    const float step1 = mesh.positions[0].x, step2 = mesh.positions[1].x, velocity1 = v.velocity[1].x;
    ASSERT_NE(step1, step2);
    physics.do_physics = false;
    for (uint32_t frame = 3; frame <= 6; ++frame) {
        const uint32_t index = set.advance_and_emit(4, 4, 4, frame, mesh, physics);
        EXPECT_EQ(set.advance_and_emit(4, 4, 4, frame, mesh, physics), index) << "emitted once per frame";
        EXPECT_EQ(mesh.positions[index].x, frame % 2 == 1 ? step2 : step1) << "frame " << frame;
    }
    EXPECT_EQ(mesh.positions.size(), 6u);
    EXPECT_TRUE(v.position[1].x == step1 && v.position[0].x == step2 && v.velocity[1].x == velocity1);

    set.snap_to_voxels();
    for (int b = 0; b < 2; ++b)
        EXPECT_TRUE(v.position[b].x == 4.0f && v.velocity[b].x == 0.0f && v.velocity[b].y == 0.0f);
}

// A voxel the surface upkeep gave no vertex is drawn at its anchor; the set is not changed.
TEST(VertexStep, MissingVertexEmitsItsAnchor) {
    SurfaceVertexSet set(3);
    set.find_or_create(set.make_key(1, 1, 1));
    RecordingMesh mesh;
    EXPECT_EQ(set.advance_and_emit(7, 8, 9, 1, mesh, PhysicsParameters()), 0u);
    ASSERT_EQ(mesh.positions.size(), 1u);
    EXPECT_TRUE(mesh.positions[0].x == 7.0f && mesh.positions[0].y == 8.0f && mesh.positions[0].z == 9.0f);
    EXPECT_EQ(set.size(), 1u);
}

}  // namespace
