#include "dynamics/VertexKey.h"

namespace {

uint64_t field_mask(uint32_t bits) {
    return (uint64_t{1} << bits) - 1;
}

}  // namespace

uint32_t key_bits_for_levels(uint32_t levels) {
    return levels > 10 ? 32 : 3 * levels;
}

VertexKey pack_vertex_key(VertexCoordinates voxel, uint32_t bits) {
    const uint64_t mask = field_mask(bits);
    const VertexKey x = voxel.x & mask;
    const VertexKey y = voxel.y & mask;
    const VertexKey z = voxel.z & mask;
    return (x << (2 * bits)) | (y << bits) | z;
}

VertexCoordinates unpack_vertex_key(VertexKey key, uint32_t bits) {
    const uint64_t mask = field_mask(bits);
    VertexCoordinates voxel;
    voxel.z = static_cast<uint32_t>(key & mask);
    voxel.y = static_cast<uint32_t>((key >> bits) & mask);
    voxel.x = static_cast<uint32_t>((key >> (2 * bits)) & mask);
    return voxel;
}
