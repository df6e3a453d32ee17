// The limit-surface sweep against a brute-force walk over every cube of the box.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <tuple>
#include <vector>

#include "grid/CubeTables.h"
#include "grid/World.h"
#include "render/LimitSurfaceSweep.h"

namespace {

using Voxel = std::tuple<uint32_t, uint32_t, uint32_t>;

// What the sweep must produce with physics off: one vertex per corner voxel at
// the voxel, numbered in the order of first use, and the triangles of every
// cube in y, x, z order.
struct ModelMesh {
    std::vector<Voxel> vertices;
    std::vector<uint32_t> indices;
};

ModelMesh brute_force_surface(const VoxelGrid& grid, const IntBox& box) {
    ModelMesh model;
    std::map<Voxel, uint32_t> index_of;
    for (uint32_t y = box.y0 + 1; y <= box.y1; ++y)
        for (uint32_t x = box.x0 + 1; x <= box.x1; ++x)
            for (uint32_t z = box.z0 + 1; z <= box.z1; ++z) {
                auto corner = [&](uint32_t j) {
                    return Voxel{x - 1 + (j >> 2 & 1), y - 1 + (j >> 1 & 1), z - 1 + (j & 1)};
                };
                unsigned cube_case = 0;
                for (uint32_t j = 0; j < 8; ++j)
                    cube_case |= unsigned(std::apply([&](auto... c) { return grid.get_voxel(c...); }, corner(j))) << j;
                for (const CubeTriangle& triangle : triangles_of(cube_case))
                    for (uint8_t j : triangle) {
                        const auto inserted = index_of.emplace(corner(j), uint32_t(model.vertices.size()));
                        if (inserted.second) model.vertices.push_back(corner(j));
                        model.indices.push_back(inserted.first->second);
                    }
            }
    return model;
}

void fill_block(VoxelGrid& grid, uint32_t x0, uint32_t y0, uint32_t z0, uint32_t size, bool solid) {
    for (uint32_t x = x0; x < std::min(x0 + size, grid.side()); ++x)
        for (uint32_t y = y0; y < std::min(y0 + size, grid.side()); ++y)
            for (uint32_t z = z0; z < std::min(z0 + size, grid.side()); ++z)
                solid ? grid.set_voxel(x, y, z) : grid.clear_voxel(x, y, z);
}

// A grid whose interesting part lies in a region near `origin`: blocks of 8
// aligned to 8 (uniform cells one level up), odd blocks and single voxels,
// solid and clear, on a uniform background.
std::unique_ptr<VoxelGrid> random_grid(std::mt19937& rng, uint32_t levels, uint32_t origin, uint32_t extent) {
    auto grid = std::make_unique<VoxelGrid>(levels, rng() % 2 == 0);
    auto coordinate = [&](uint32_t mask) { return (origin + uint32_t(rng() % extent)) & mask; };
    for (int i = 0, blocks = 2 + int(rng() % 5); i < blocks; ++i) {
        const bool aligned = rng() % 2 == 0;
        const uint32_t mask = aligned ? ~7u : ~0u, size = aligned ? 8 : 1 + rng() % 7;
        fill_block(*grid, coordinate(mask), coordinate(mask), coordinate(mask), size, rng() % 3 != 0);
    }
    for (int i = 0, voxels = int(rng() % 200); i < voxels; ++i)
        fill_block(*grid, coordinate(~0u), coordinate(~0u), coordinate(~0u), 1, rng() % 2 == 0);
    return grid;
}

IntBox random_box(std::mt19937& rng, uint32_t origin, uint32_t extent, uint32_t side) {
    uint32_t lower[3], upper[3];
    for (int axis = 0; axis < 3; ++axis) {
        lower[axis] = origin > 4 ? origin - 4 + uint32_t(rng() % extent) : uint32_t(rng() % extent);
        upper[axis] = std::min(side - 1, lower[axis] + uint32_t(rng() % 20));
    }
    // Now and then a long box along z, whose rows span several 64-voxel words.
    if (rng() % 4 == 0 && lower[2] >= 70) lower[2] -= 40 + rng() % 30;
    return IntBox{lower[0], lower[1], lower[2], upper[0], upper[1], upper[2]};
}

// A vertex for every solid voxel of the box, so that every corner is found.
void add_vertices_for_solid_voxels(SurfaceVertexSet& vertices, const VoxelGrid& grid, const IntBox& box) {
    for (uint32_t x = box.x0; x <= box.x1; ++x)
        for (uint32_t y = box.y0; y <= box.y1; ++y)
            for (uint32_t z = box.z0; z <= box.z1; ++z)
                if (grid.get_voxel(x, y, z)) vertices.find_or_create(vertices.make_key(x, y, z));
}

void expect_same_mesh(const SurfaceMesh& mesh, const ModelMesh& model, bool check_positions) {
    ASSERT_EQ(mesh.vertex_count(), model.vertices.size());
    ASSERT_EQ(mesh.indices(), model.indices);
    for (uint32_t v = 0; check_positions && v < mesh.vertex_count(); ++v) {
        const auto [x, y, z] = model.vertices[v];
        ASSERT_EQ(mesh.position(v), Vector3(float(x), float(y), float(z))) << "vertex " << v;
    }
}

TEST(LimitSurfaceSweep, MatchesBruteForceOnRandomGridsAndBoxes) {
    std::mt19937 rng(20240611);
    PhysicsParameters still, moving;  // moving: the editor's start values
    still.do_physics = false;
    for (int round = 0; round < 60; ++round) {
        const uint32_t levels = round % 3 == 0 ? 3 : 2;
        const uint32_t origin = levels == 3 ? 200 + uint32_t(rng() % 100) : uint32_t(rng() % 20);
        World world;
        install_grid(world, random_grid(rng, levels, origin, 36), 0);
        VoxelGrid* const grid = &world.grid();
        for (int b = 0; b < 4; ++b) {
            const IntBox box = random_box(rng, origin, 36, grid->side());
            SCOPED_TRACE(::testing::Message() << "round " << round << " box " << box.x0 << "," << box.y0 << ","
                                              << box.z0 << " .. " << box.x1 << "," << box.y1 << "," << box.z1);
            const ModelMesh model = brute_force_surface(*grid, box);
            SurfaceMesh mesh;
            // The vertex set the world's surface upkeep built holds every
            // corner, until the edits below bypass it. The plan kept from it
            // must not serve the next sweep, over another vertex set.
            if (b == 0) {
                sweep_limit_surface(world, box, mesh, 1, still);
                expect_same_mesh(mesh, model, true);
                mesh.reset();
            }
            SurfaceVertexSet vertices(levels);
            add_vertices_for_solid_voxels(vertices, *grid, box);
            sweep_limit_surface(*grid, vertices, box, mesh, 1, still);
            expect_same_mesh(mesh, model, true);

            // With physics on the vertices move, but each is still met and
            // numbered once per frame, and the triangles stay the same.
            mesh.reset();
            sweep_limit_surface(*grid, vertices, box, mesh, 2, moving);
            expect_same_mesh(mesh, model, false);

            // The plan kept from the sweep before must not outlive an edit of
            // the box, whether or not the vertex set changes with it.
            for (int edit = 0; edit < 3; ++edit) {
                const uint32_t x = box.x0 + rng() % (box.x1 - box.x0 + 1), y = box.y0 + rng() % (box.y1 - box.y0 + 1),
                               z = box.z0 + rng() % (box.z1 - box.z0 + 1);
                grid->get_voxel(x, y, z) ? grid->clear_voxel(x, y, z) : grid->set_voxel(x, y, z);
                add_vertices_for_solid_voxels(vertices, *grid, box);
                mesh.reset();
                sweep_limit_surface(*grid, vertices, box, mesh, 3 + edit, still);
                expect_same_mesh(mesh, brute_force_surface(*grid, box), true);
            }
        }
    }
}

}  // namespace
