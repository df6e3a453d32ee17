#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "dynamics/RecordingMesh.h"
#include "dynamics/SurfaceVertexSet.h"

namespace {

// A damped spring from p (moving with u) toward t, written out from the
// step's definition rather than from the code under test.
Vector3 model_spring(const Vector3& p, const Vector3& u, const Vector3& t, double k, double h) {
    const Vector3 d = p - t;
    const double length = d.length(), padded = length + 2.5e-7;
    return d * float(-(k * length + h * dot(d, u) / padded) / padded);
}

void expect_close(const Vector3& actual, const Vector3& expected, const char* what) {
    EXPECT_LT((actual - expected).length(), 2e-5 * (1.0 + expected.length())) << what;
}

PhysicsParameters only(bool grid, bool dynamic, bool fixed, bool drag) {
    PhysicsParameters k;
    k.do_grid_spring = grid, k.do_dynamic_neighbour_spring = dynamic;
    k.do_static_neighbour_spring = fixed, k.do_viscous_drag = drag;
    k.time_step = 0.05f, k.viscous_drag = 0.3f, k.grid_stiffness = 0.7f, k.grid_damping = 0.4f;
    k.neighbour_stiffness = 1.3f, k.neighbour_damping = 0.6f;
    return k;
}

// A vertex at (10, 10, 10) with three neighbours; each buffer of each vertex
// holds different random state. One step of each force alone and of all
// together, against the formula.
TEST(VertexStep, EachForceGivesOneStepOfTheFormula) {
    const PhysicsParameters cases[] = {only(true, false, false, false), only(false, true, false, false),
                                       only(false, false, true, false), only(false, false, false, true),
                                       only(true, true, true, true)};
    const uint32_t voxels[4][3] = {{10, 10, 10}, {11, 10, 10}, {10, 12, 10}, {9, 10, 11}};
    for (unsigned seed = 0; seed < 20; ++seed) {
        SurfaceVertexSet set(3);
        std::vector<VertexIndex> arms;
        for (int i = 1; i < 4; ++i) arms.push_back(set.find_or_create_index(set.make_key(voxels[i][0], voxels[i][1], voxels[i][2])));
        const SurfaceVertex& c = set.set_vertex(set.make_key(10, 10, 10), 3, arms.data());
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> r(-2.0f, 2.0f);
        for (const SurfaceVertex& v : set) {
            SurfaceVertex& s = *set.find(set.key_of(v));
            for (int b = 0; b < 2; ++b) {
                s.position[b] = Vector3(v.anchor().x + r(rng), v.anchor().y + r(rng), v.anchor().z + r(rng));
                s.velocity[b] = Vector3(r(rng), r(rng), r(rng));
            }
        }
        const Vector3 p = c.position[0], u = c.velocity[0];  // odd frames read buffer 0, write buffer 1
        Vector3 moving_mean, fixed_mean;
        for (const VertexIndex arm : arms) {
            moving_mean += set.vertex(arm).position[0] * (1.0f / 3);
            fixed_mean += set.vertex(arm).anchor() * (1.0f / 3);
        }
        uint32_t frame = 1;
        for (const PhysicsParameters& k : cases) {
            Vector3 force;
            if (k.do_grid_spring) force += model_spring(p, u, c.anchor(), k.grid_stiffness, k.grid_damping);
            if (k.do_dynamic_neighbour_spring) force += model_spring(p, u, moving_mean, k.neighbour_stiffness, k.neighbour_damping);
            if (k.do_static_neighbour_spring) force += model_spring(p, u, fixed_mean, k.neighbour_stiffness, k.neighbour_damping);
            if (k.do_viscous_drag) force += u * -k.viscous_drag;
            RecordingMesh mesh;
            EXPECT_EQ(set.advance_and_emit(10, 10, 10, frame += 2, mesh, k), 0u);
            ASSERT_EQ(mesh.positions.size(), 1u);
            expect_close(c.velocity[1], u + force * k.time_step, "velocity");
            expect_close(mesh.positions[0], p + u * k.time_step, "position moves with the old velocity");
            EXPECT_EQ(mesh.positions[0].x, c.position[1].x);
        }
    }
}

// A vertex whose neighbours lie symmetric about it (every spring's target is
// its own anchor) stays put; one without neighbours stays finite. A voxel
// the surface upkeep gave no vertex is drawn at its anchor, the set
// unchanged. With physics switched off after two steps, frames alternate
// between the last two steps' positions and nothing is written; a snap then
// puts the vertex back at rest.
TEST(VertexStep, StillVerticesStayFiniteMissingOnesAreDrawnAtTheirAnchorAndPhysicsOffAlternates) {
    SurfaceVertexSet set(3);
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
    const uint32_t missing = set.advance_and_emit(7, 8, 9, 1, mesh, PhysicsParameters());
    ASSERT_EQ(missing + 1, mesh.positions.size());
    EXPECT_EQ(mesh.positions[missing], Vector3(7.0f, 8.0f, 9.0f));
    EXPECT_EQ(set.size(), 4u);

    SurfaceVertex& v = set.find_or_create(set.make_key(4, 4, 4));
    v.position[0] = Vector3(5.0f, 4.0f, 4.0f);
    PhysicsParameters physics = only(true, false, false, false);
    mesh.positions.clear();
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
    for (int b = 0; b < 2; ++b) EXPECT_TRUE(v.position[b].x == 4.0f && v.velocity[b].x == 0.0f && v.velocity[b].y == 0.0f);
}

}  // namespace
