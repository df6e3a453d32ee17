// .vox files: a file built byte by byte imports to the voxels worked out by
// hand, export then import keeps every voxel across the 256 split, and
// hostile files are refused with their reason, the grid untouched.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <random>
#include <set>

#include "exchange/ExchangeError.h"
#include "exchange/GridImport.h"
#include "exchange/SolidCells.h"
#include "exchange/VoxExchange.h"
#include "exchange/VoxFile.h"
#include "grid/SolidBounds.h"
#include "grid/VoxelGrid.h"
#include "grid/World.h"
#include "grid/surface_model.h"
#include "exchange/VoxBytes.h"

namespace {

using namespace vox_build;
using Voxel = std::array<uint32_t, 3>;

VoxScene parse(const std::string& bytes) {
    return parse_vox(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), "test.vox");
}

std::set<Voxel> solid_voxels(const VoxelGrid& grid) {
    std::set<Voxel> voxels;
    for_each_solid_part(grid, IntBox{0, 0, 0, grid.side() - 1, grid.side() - 1, grid.side() - 1}, [&](const IntBox& b) {
        for (uint32_t z = b.z0; z <= b.z1; ++z)
            for (uint32_t y = b.y0; y <= b.y1; ++y)
                for (uint32_t x = b.x0; x <= b.x1; ++x) voxels.insert({x, y, z});
    });
    return voxels;
}

TEST(VoxExchange, FileBuiltByteByByteImportsToTheVoxelsWorkedOutByHand) {
    // Model 0 (3 x 2 x 4, pivot (1, 1, 2)) under a transform with _t (10, -5, 3)
    // and the rotation rows (0 1 0), (0 0 -1), (-1 0 0); model 1 (one voxel)
    // at the origin. Unknown chunks, a palette and a layer come along.
    const std::string rotated = le32(2) + text("_t") + text("10 -5 3") + text("_r") + text("105");
    const std::string bytes =
        file(chunk("PACK", le32(2)) + size(3, 2, 4) + xyzi({{0, 0, 0}, {2, 1, 3}, {1, 0, 2}}) + size(1, 1, 1) +
             xyzi({{0, 0, 0}}) + transform(0, 1, le32(0)) + group(1, {2, 4}) + transform(2, 3, rotated) + shape(3, 0) +
             transform(4, 5, translation("0 0 0")) + shape(5, 1) + chunk("LAYR", le32(0) + le32(0) + le32(-1)) +
             chunk("ZZZZ", "junk", chunk("YYYY", "more")) + chunk("RGBA", std::string(1024, '\x7f')));
    // By hand: voxel (0, 0, 0) - pivot = (-1, -1, -2), rotated (-1, 2, 1),
    // placed (9, -3, 4), in grid axes (x, z, -y) = (9, 4, 3); likewise
    // (2, 1, 3) -> (10, 2, 6), (1, 0, 2) -> (9, 3, 5); model 1 -> (0, 0, 0).
    const auto model = model_of_scene(parse(bytes));
    const auto grid = import_into_new_grid(*model, 2, "test.vox");
    // Extent 11 x 5 x 7 centred in 64: lower corner (26, 29, 28).
    const std::set<Voxel> expected{{26 + 9, 29 + 4, 28 + 3}, {26 + 10, 29 + 2, 28 + 6}, {26 + 9, 29 + 3, 28 + 5}, {26, 29, 28}};
    EXPECT_EQ(solid_voxels(*grid), expected);
}

TEST(VoxExchange, ExportThenImportKeepsEveryVoxelAcrossTheSplit) {
    std::mt19937 random(12);
    VoxelGrid grid(3, false);
    std::set<Voxel> placed;
    std::uniform_int_distribution<uint32_t> coordinate(2, 509);
    for (int i = 0; i < 4000; ++i) {
        const Voxel v{coordinate(random), coordinate(random) / 4 + 100, coordinate(random)};
        grid.set_voxel(v[0], v[1], v[2]);
        placed.insert(v);
    }
    for (uint32_t z = 250; z < 270; ++z)  // a solid block across a tile border
        for (uint32_t y = 120; y < 136; ++y)
            for (uint32_t x = 248; x < 264; ++x) grid.set_voxel(x, y, z), placed.insert({x, y, z});

    const IntBox box = *solid_voxel_bounds(grid);
    const VoxScene scene = scene_of_box(grid, box, "round.vox");
    const std::string bytes = vox_bytes(scene);
    const auto back = import_into_new_grid(*model_of_scene(parse(bytes)), 3, "round.vox");

    std::set<Voxel> expected;
    const uint32_t side = 512;
    const Voxel corner{(side - (box.x1 - box.x0 + 1)) / 2, (side - (box.y1 - box.y0 + 1)) / 2,
                       (side - (box.z1 - box.z0 + 1)) / 2};
    for (const Voxel& v : placed) expected.insert({v[0] - box.x0 + corner[0], v[1] - box.y0 + corner[1], v[2] - box.z0 + corner[2]});
    EXPECT_EQ(solid_voxels(*back), expected);
}

TEST(VoxExchange, ImportIntoTheWorldLeavesTheSurfaceAFullBuildGives) {
    std::mt19937 random(5);
    World world;
    install_grid(world, surface_model::random_grid(2, random, 40), 0);
    // A 12^3 piece of another random grid, placed over existing voxels.
    const auto piece = model_of_scene(scene_of_box(*surface_model::random_grid(2, random, 40), {10, 10, 10, 21, 21, 21}, "b.vox"));
    const uint64_t count = world.change_count();
    const auto added = import_into_world(world, *piece, VoxelPosition{20, 30, 25}, "blob.vox");
    EXPECT_GT(added.size(), 500u);
    EXPECT_EQ(world.change_count(), count + 1);
    EXPECT_TRUE(surface_model::surface_is_current(world));
    // The same model again changes no voxel, so the count stays.
    EXPECT_TRUE(import_into_world(world, *piece, VoxelPosition{20, 30, 25}, "blob.vox").empty());
    EXPECT_EQ(world.change_count(), count + 1);
}

TEST(VoxExchange, HostileFilesAreRefusedWithTheirReasonAndTheGridStaysAsItWas) {
    const std::string model = size(2, 2, 2) + xyzi({{1, 1, 1}});
    const std::string graph = transform(0, 1, le32(0)) + group(1, {2}) + transform(2, 3, le32(0)) + shape(3, 0);
    const std::string good = file(model + graph);
    ASSERT_EQ(refusal([&] { parse(good); }), "accepted");

    const std::pair<std::string, std::string> cases[] = {
        {"VOX ", "ends early"},
        {"RIFF" + le32(150) + chunk("MAIN", ""), "not a .vox file"},
        {good.substr(0, good.size() - 3), "claims"},
        {"VOX " + le32(150) + "MAIN" + le32(0) + le32(-8), "negative size"},
        {file(size(2, 2, 2) + chunk("XYZI", le32(1000) + le32(0))), "lists 1000 voxels but holds only 1"},
        {file(size(2, 2, 2) + xyzi({{1, 2, 1}})), "voxel (1, 2, 1) lies outside its model's size 2 x 2 x 2"},
        {file(size(2, 2, 2)), "no XYZI chunk after it"},
        {file(xyzi({{0, 0, 0}})), "has no SIZE chunk before it"},
        {file(size(0, 2, 2) + xyzi({})), "model side of 0"},
        {file(size(300, 2, 2) + xyzi({})), "model side of 300"},
        {file(model + transform(0, 1, le32(0)) + shape(1, 4)), "names model 4, but the file holds 1 models"},
        {file(model + transform(0, 7, le32(0))), "refers to the missing node 7"},
        {file(model + transform(0, 1, le32(0)) + group(1, {0})), "reached twice"},
        {file(model + transform(0, 1, translation("1 2")) + shape(1, 0)), "translation _t that is not three integers"},
        {file(model + transform(0, 1, translation("1 2 99999999999")) + shape(1, 0)), "not three integers"},
        {file(model + transform(0, 1, le32(1) + text("_r") + text("3")) + shape(1, 0)), "rotation _r that is not a rotation"},
        {file(model + transform(0, 1, le32(1) + text("_r") + text("5")) + shape(1, 0)), "not a rotation"},
        {file(model + chunk("nTRN", le32(0) + le32(99999))), "dictionary larger than its data"},
        {file(model + group(2, {}) ), "no root node"},
    };
    for (const auto& c : cases) {
        const std::string message = refusal([&] { parse(c.first); });
        EXPECT_NE(message.find("test.vox: "), std::string::npos) << message;
        EXPECT_NE(message.find(c.second), std::string::npos) << message << " (expected: " << c.second << ")";
    }

    // Placements outside the safe range, an empty box and one of 2^72 voxels
    // to export.
    VoxelGrid grid(2, false);
    grid.set_voxel(5, 5, 5);
    const auto one_voxel = model_of_scene(parse(good));
    for (const VoxelPosition& corner : {VoxelPosition{1, 5, 5}, VoxelPosition{5, 62, 5}, VoxelPosition{5, 5, 4000000000u}}) {
        const std::string message = refusal([&] { import_into_grid(grid, *one_voxel, corner, "test.vox"); });
        EXPECT_NE(message.find("reaches outside the grid's safe range"), std::string::npos) << message;
    }
    EXPECT_EQ(solid_voxels(grid), (std::set<Voxel>{{5, 5, 5}}));
    EXPECT_NE(refusal([&] { scene_of_box(grid, IntBox{10, 10, 10, 20, 20, 20}, "empty.vox"); }), "accepted");
    const VoxelGrid solid(8, true);
    const uint32_t last = solid.side() - 1;
    EXPECT_NE(refusal([&] { scene_of_box(solid, IntBox{0, 0, 0, last, last, last}, "huge.vox"); }).find("more than the .vox format's 2147483647"),
              std::string::npos);
    EXPECT_NE(refusal([&] { import_into_new_grid(*model_of_scene(parse(file(""))), 0, "test.vox"); }), "accepted");
}

}  // namespace
