#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <unordered_map>
#include <vector>

// Collects quads corner by corner and writes them as a Wavefront OBJ file:
// first one "v x y z" line per distinct corner in the order of first use,
// then one "f a b c d" line per quad with 1-based vertex numbers. Corners
// with equal coordinates are written once and shared (0 and -0 count as
// equal). Numbers are the shortest text that reads back to the same float.
class ObjQuadWriter {
public:
    // Adds one corner; every fourth corner completes a quad.
    void add_corner(float x, float y, float z);

    uint32_t vertex_count() const { return complete_vertex_count_; }
    uint32_t quad_count() const { return static_cast<uint32_t>(quads_.size()); }

    // Writes the file's text. An unfinished quad (fewer than four corners
    // since the last complete one) is left out, with the corners that only
    // it uses.
    void write(std::ostream& out) const;
    // Writes the file at `path` (created or truncated). Throws
    // Util_E26EF::Exception when it cannot be opened or written.
    void write(const std::string& path) const;

private:
    using Corner = std::array<float, 3>;
    // The bit patterns of a corner's coordinates, negative zero made positive.
    using CornerKey = std::array<uint32_t, 3>;
    struct CornerKeyHash {
        size_t operator()(const CornerKey& key) const;
    };

    static CornerKey key_of(const Corner& corner);

    std::vector<Corner> vertices_;
    std::unordered_map<CornerKey, uint32_t, CornerKeyHash> index_of_;
    std::vector<std::array<uint32_t, 4>> quads_;
    std::array<uint32_t, 4> pending_{};
    uint32_t pending_count_ = 0;
    // Vertices used by complete quads: the first ones, as they are numbered
    // by first use.
    uint32_t complete_vertex_count_ = 0;
};
