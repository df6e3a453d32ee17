#pragma once
// A small model of the brushes and the World's edits on a dense voxel array:
// the shapes written out as the editor defines them, settling pass by pass,
// and the removal cascade as a plain recursion.

#include <cstdint>
#include <vector>

#include "grid/VoxelPosition.h"

namespace affector_model {

struct Offset {
    int dx, dy, dz;
};

// The voxels of brush k (0-based, cycle order), in the order they are edited.
inline std::vector<Offset> shape(int k) {
    std::vector<Offset> v;
    const int cube_low = k == 0 ? 0 : -1;
    if (k == 0 || k == 2) {
        for (int x = 1; x >= cube_low; --x)
            for (int y = 1; y >= cube_low; --y)
                for (int z = 1; z >= cube_low; --z) v.push_back({x, y, z});
    } else if (k == 1) {
        v = {{0, 0, 0}};
    } else if (k == 3) {
        v = {{0, 0, 0}};  // then along z, y, x: 1 to 3 up, 1 to 3 down
        for (int axis = 2; axis >= 0; --axis)
            for (int i : {1, 2, 3, -1, -2, -3}) v.push_back({axis == 0 ? i : 0, axis == 1 ? i : 0, axis == 2 ? i : 0});
    } else if (k < 7) {
        for (int i = 0; i < 4; ++i) v.push_back({k == 4 ? i : 0, k == 5 ? i : 0, k == 6 ? i : 0});
    } else {
        for (int i = 0; i < 16; ++i) v.insert(v.end(), {{i, 0, 0}, {i, 1, 0}, {i, 0, 1}, {i, 1, 1}});
    }
    return v;
}

class ModelWorld {
public:
    ModelWorld(int side, bool solid) : side_(side), voxels_(size_t(side) * side * side, solid) {}

    bool get(int x, int y, int z) const { return x >= 0 && y >= 0 && z >= 0 && x < side_ && y < side_ && z < side_ && voxels_[index(x, y, z)]; }
    const std::vector<VoxelPosition>& changes() const { return changes_; }

    void add_shape(int k, int x, int y, int z) {
        if (k == 1 && !safe(x, y, z)) return;  // the single voxel drops the whole edit
        changes_.clear();
        for (const Offset& o : shape(k))
            if (safe(x + o.dx, y + o.dy, z + o.dz) && !get(x + o.dx, y + o.dy, z + o.dz)) put(x + o.dx, y + o.dy, z + o.dz, true);
        for (size_t before = 0; before != changes_.size();) {  // settle, pass by pass
            before = changes_.size();
            std::vector<VoxelPosition> kept;
            for (const VoxelPosition& p : changes_) supported(p.x, p.y, p.z) ? kept.push_back(p) : void(voxels_[index(p.x, p.y, p.z)] = false);
            changes_ = kept;
        }
    }

    void remove_shape(int k, int x, int y, int z) {
        for (const Offset& o : shape(k)) {
            const int vx = x + o.dx, vy = y + o.dy, vz = z + o.dz;
            if (!safe(vx, vy, vz) || !get(vx, vy, vz)) continue;
            changes_.clear();
            put(vx, vy, vz, false);
            cascade(vx, vy, vz);
        }
    }

    bool supported(int x, int y, int z) const {
        return (get(x - 1, y, z) || get(x + 1, y, z)) && (get(x, y - 1, z) || get(x, y + 1, z)) &&
               (get(x, y, z - 1) || get(x, y, z + 1));
    }

private:
    bool safe(int x, int y, int z) const {
        return x >= 2 && y >= 2 && z >= 2 && x <= side_ - 3 && y <= side_ - 3 && z <= side_ - 3;
    }
    size_t index(int x, int y, int z) const { return (size_t(z) * side_ + y) * side_ + x; }
    // Sets or clears a voxel and records it.
    void put(int x, int y, int z, bool solid) {
        voxels_[index(x, y, z)] = solid;
        changes_.push_back(VoxelPosition{uint32_t(x), uint32_t(y), uint32_t(z)});
    }

    void cascade(int x, int y, int z) {
        for (int dx = 1; dx >= -1; --dx)
            for (int dy = 1; dy >= -1; --dy)
                for (int dz = 1; dz >= -1; --dz) {
                    const int nx = x + dx, ny = y + dy, nz = z + dz;
                    if (get(nx, ny, nz) && !supported(nx, ny, nz)) {
                        put(nx, ny, nz, false);
                        cascade(nx, ny, nz);
                    }
                }
    }

    int side_;
    std::vector<bool> voxels_;
    std::vector<VoxelPosition> changes_;
};

}  // namespace affector_model
