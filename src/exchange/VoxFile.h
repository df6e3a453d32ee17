#pragma once

// The .vox voxel format: little-endian RIFF-style chunks. The file starts
// with "VOX " and a 32-bit version (150 or 200), then the MAIN chunk, whose
// children are the models (a SIZE chunk followed by an XYZI chunk each), the
// palette (RGBA) and the scene graph: transform nodes (nTRN, with a frame
// dictionary holding the translation "_t" and the rotation "_r"), group
// nodes (nGRP) and shape nodes (nSHP, naming a model). Every chunk is an id
// of four characters, its content size N, the size M of its children, then
// N + M bytes. z points up in this format.
//
// A model's voxel v lies at _t + R * (v - floor(size / 2)), with _t and R
// composed from the root of the scene graph down to the shape node. A file
// without a scene graph places every model's voxels at their own
// coordinates.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct VoxModel {
    std::array<uint32_t, 3> size{};                 // 1 .. 256 each
    std::vector<std::array<uint8_t, 3>> voxels;      // x, y, z inside size
};

// A rotation that permutes the axes and flips signs, and a translation.
struct VoxTransform {
    std::array<std::array<int32_t, 3>, 3> rotation{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    std::array<int64_t, 3> translation{};

    // This transform applied after `inner`.
    VoxTransform then_inner(const VoxTransform& inner) const;
    std::array<int64_t, 3> apply(const std::array<int64_t, 3>& point) const;
};

struct VoxPlacement {
    uint32_t model = 0;
    VoxTransform transform;
};

struct VoxScene {
    std::vector<VoxModel> models;
    std::vector<VoxPlacement> placements;

    // Voxels placed in all, a model placed twice counting twice.
    uint64_t placed_voxel_count() const;
    // Where voxel `v` of a placement's model lies.
    std::array<int64_t, 3> position(const VoxPlacement& placement, const std::array<uint8_t, 3>& v) const;
};

// The most voxels a scene may hold, read or written: the format counts them
// with signed 32-bit numbers.
constexpr uint64_t kMaxVoxVoxels = 0x7FFFFFFFu;

// Reads a scene from the bytes of a .vox file. `name` names the file in the
// messages. Every model and node is checked: a file that cannot be read
// whole throws ExchangeError and nothing is returned. Unknown chunks,
// palettes and materials are skipped.
VoxScene parse_vox(const uint8_t* data, size_t size, const std::string& name);
VoxScene read_vox_file(const std::string& path);

// The bytes of a .vox file (version 150) holding the scene: its models, a
// palette whose first colour every voxel uses, and a scene graph of one
// group with a transform and a shape node per placement.
std::string vox_bytes(const VoxScene& scene);
// Writes vox_bytes to `path`; throws ExchangeError when it cannot.
void write_vox_file(const VoxScene& scene, const std::string& path);
