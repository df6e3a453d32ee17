#include "exchange/MeshVoxelizer.h"

#include <algorithm>
#include <cmath>

namespace {

struct Point2 {
    double u, v;
};

bool lexicographically_less(const Point2& a, const Point2& b) { return a.u < b.u || (a.u == b.u && a.v < b.v); }

// Twice the signed area of (a, b, p): positive when p lies to the left of
// a -> b. Always computed from the lexicographically smaller end, so the
// edge a -> b and the edge b -> a give exactly opposite values.
double edge_function(const Point2& a, const Point2& b, const Point2& p) {
    if (lexicographically_less(b, a)) return -edge_function(b, a, p);
    return (b.u - a.u) * (p.v - a.v) - (b.v - a.v) * (p.u - a.u);
}

// A point exactly on the edge a -> b of a counter-clockwise triangle belongs
// to it when the edge is a left edge (going down) or a top edge (level,
// going left). The triangle on the other side runs the edge the other way,
// so exactly one of the two takes the point.
bool owns_edge(const Point2& a, const Point2& b) { return b.v < a.v || (b.v == a.v && b.u < a.u); }

bool covers(double w, const Point2& a, const Point2& b) { return w > 0 || (w == 0 && owns_edge(a, b)); }

// The crossings of the rays along one axis with the mesh, as sorted keys
// (line << 32 | k): k is the first voxel whose centre lies above the
// crossing, the line indexes the ray (first other axis fastest).
class AxisCrossings {
public:
    AxisCrossings(const TriangleSoup& soup, const std::array<uint32_t, 3>& dims, int axis, const Progress& progress)
        : axis_(axis), u_(axis == 0 ? 1 : 0), v_(axis == 2 ? 1 : 2), dims_(dims) {
        const size_t triangles = soup.triangle_count();
        for (size_t t = 0; t < triangles; ++t) {
            add_triangle(soup, t);
            if (progress && (t & 0xFFFF) == 0) progress(double(t) / double(triangles));
        }
        std::sort(keys_.begin(), keys_.end());
    }

    uint32_t lines_u() const { return dims_[u_]; }

    // The crossings of one line: [first, last) into keys().
    std::pair<size_t, size_t> line(uint64_t index) const {
        const auto first = std::lower_bound(keys_.begin(), keys_.end(), index << 32);
        const auto last = std::lower_bound(first, keys_.end(), (index + 1) << 32);
        return {size_t(first - keys_.begin()), size_t(last - keys_.begin())};
    }
    uint32_t k_at(size_t i) const { return uint32_t(keys_[i] & 0xFFFFFFFFu); }
    uint64_t line_at(size_t i) const { return keys_[i] >> 32; }
    size_t size() const { return keys_.size(); }

    // Whether the centre at position `k` along line `index` is inside by the
    // parity of the crossings below it; `valid` says whether the line has an
    // even count (it went through no hole).
    bool inside(uint64_t index, uint32_t k, bool& valid) const {
        const auto [first, last] = line(index);
        valid = (last - first) % 2 == 0;
        const auto below = std::upper_bound(keys_.begin() + first, keys_.begin() + last, (index << 32) | k);
        return (below - (keys_.begin() + first)) % 2 == 1;
    }

private:
    Point2 project(const TriangleSoup& soup, uint32_t vertex) const {
        return Point2{soup.positions[3 * size_t(vertex) + u_], soup.positions[3 * size_t(vertex) + v_]};
    }

    void add_triangle(const TriangleSoup& soup, size_t t) {
        uint32_t corner[3] = {soup.indices[3 * t], soup.indices[3 * t + 1], soup.indices[3 * t + 2]};
        Point2 p[3] = {project(soup, corner[0]), project(soup, corner[1]), project(soup, corner[2])};
        const double area = edge_function(p[0], p[1], p[2]);
        if (area == 0) return;  // seen edge-on: the rays pass beside it
        if (area < 0) {
            std::swap(p[1], p[2]);
            std::swap(corner[1], corner[2]);
        }
        double h[3];
        for (int i = 0; i < 3; ++i) h[i] = soup.positions[3 * size_t(corner[i]) + axis_];

        const double lo_u = std::min({p[0].u, p[1].u, p[2].u}), hi_u = std::max({p[0].u, p[1].u, p[2].u});
        const double lo_v = std::min({p[0].v, p[1].v, p[2].v}), hi_v = std::max({p[0].v, p[1].v, p[2].v});
        // Centres i + 0.5 within [lo, hi].
        const int64_t iu0 = std::max<int64_t>(0, int64_t(std::ceil(lo_u - 0.5)));
        const int64_t iu1 = std::min<int64_t>(int64_t(dims_[u_]) - 1, int64_t(std::floor(hi_u - 0.5)));
        const int64_t iv0 = std::max<int64_t>(0, int64_t(std::ceil(lo_v - 0.5)));
        const int64_t iv1 = std::min<int64_t>(int64_t(dims_[v_]) - 1, int64_t(std::floor(hi_v - 0.5)));
        for (int64_t iv = iv0; iv <= iv1; ++iv) {
            for (int64_t iu = iu0; iu <= iu1; ++iu) {
                const Point2 c{double(iu) + 0.5, double(iv) + 0.5};
                const double w0 = edge_function(p[1], p[2], c);
                const double w1 = edge_function(p[2], p[0], c);
                const double w2 = edge_function(p[0], p[1], c);
                if (!covers(w0, p[1], p[2]) || !covers(w1, p[2], p[0]) || !covers(w2, p[0], p[1])) continue;
                const double sum = w0 + w1 + w2;
                const double height = sum > 0 ? (w0 * h[0] + w1 * h[1] + w2 * h[2]) / sum : h[0];
                // First voxel k with centre k + 0.5 above the crossing.
                const double first_above = std::floor(height - 0.5) + 1;
                const uint32_t k = uint32_t(std::clamp(first_above, 0.0, double(dims_[axis_])));
                const uint64_t index = uint64_t(iu) + uint64_t(dims_[u_]) * uint64_t(iv);
                keys_.push_back(index << 32 | k);
            }
        }
    }

    const int axis_, u_, v_;
    const std::array<uint32_t, 3> dims_;
    std::vector<uint64_t> keys_;
};

// Decides the voxels of a column that went through a hole by the rays
// along x and y through each voxel's centre; a tie or no usable ray keeps
// the column's own parity from below.
void repair_column(uint32_t x, uint32_t y, const AxisCrossings& along_z, const AxisCrossings& along_x,
                   const AxisCrossings& along_y, const std::array<uint32_t, 3>& dims,
                   std::vector<VoxelizedMesh::Run>& runs) {
    const uint32_t column = x + dims[0] * y;
    bool run_open = false;
    uint32_t run_begin = 0;
    for (uint32_t z = 0; z <= dims[2]; ++z) {
        bool inside = false;
        if (z < dims[2]) {
            bool valid_x = false, valid_y = false, unused = false;
            // Rays along x are indexed by (y, z), along y by (x, z).
            const bool in_x = along_x.inside(uint64_t(y) + uint64_t(dims[1]) * z, x, valid_x);
            const bool in_y = along_y.inside(uint64_t(x) + uint64_t(dims[0]) * z, y, valid_y);
            const int votes = (valid_x ? 1 : 0) + (valid_y ? 1 : 0);
            const int inside_votes = (valid_x && in_x ? 1 : 0) + (valid_y && in_y ? 1 : 0);
            inside = votes == 0 ? along_z.inside(column, z, unused) : 2 * inside_votes >= votes;
        }
        if (inside && !run_open) {
            run_open = true;
            run_begin = z;
        } else if (!inside && run_open) {
            run_open = false;
            runs.push_back(VoxelizedMesh::Run{column, run_begin, z});
        }
    }
}

Progress stage(const Progress& progress, double from, double to) {
    if (!progress) return {};
    return [progress, from, to](double f) { progress(from + (to - from) * f); };
}

}  // namespace

VoxelizedMesh::VoxelizedMesh(std::array<uint32_t, 3> dims, std::vector<Run> runs)
    : dims_(dims), runs_(std::move(runs)) {
    for (const Run& run : runs_) count_ += run.z_end - run.z_begin;
}

// Hands the runs out block by block (8 x 8 columns, then 8 voxels of z at a
// time), so the grid completes, and collapses, each leaf block before it
// starts many others: few leaf blocks are alive at once, and their lookups
// stay short.
void VoxelizedMesh::for_each_run(const RunSink& run, const Progress& progress) const {
    constexpr uint32_t kBlock = 8;
    // The first run of every column (runs_ is sorted by column).
    std::vector<size_t> first(size_t(dims_[0]) * dims_[1] + 1, runs_.size());
    for (size_t i = runs_.size(); i-- > 0;) first[runs_[i].column] = i;
    for (size_t c = first.size() - 1; c-- > 0;) first[c] = std::min(first[c], first[c + 1]);

    std::vector<size_t> cursor;
    const uint32_t groups_y = (dims_[1] + kBlock - 1) / kBlock, groups_x = (dims_[0] + kBlock - 1) / kBlock;
    for (uint32_t gy = 0; gy < groups_y; ++gy) {
        for (uint32_t gx = 0; gx < groups_x; ++gx) {
            const uint32_t x0 = gx * kBlock, x1 = std::min(dims_[0], x0 + kBlock);
            const uint32_t y0 = gy * kBlock, y1 = std::min(dims_[1], y0 + kBlock);
            cursor.clear();
            for (uint32_t y = y0; y < y1; ++y)
                for (uint32_t x = x0; x < x1; ++x) cursor.push_back(first[x + size_t(dims_[0]) * y]);
            for (uint32_t z0 = 0; z0 < dims_[2]; z0 += kBlock) {
                const uint32_t z1 = z0 + kBlock;
                size_t k = 0;
                for (uint32_t y = y0; y < y1; ++y) {
                    for (uint32_t x = x0; x < x1; ++x, ++k) {
                        const uint32_t column = x + dims_[0] * y;
                        size_t& i = cursor[k];
                        while (i < runs_.size() && runs_[i].column == column && runs_[i].z_begin < z1) {
                            run(x, y, std::max(runs_[i].z_begin, z0), std::min(runs_[i].z_end, z1));
                            if (runs_[i].z_end > z1) break;  // goes on in the next block
                            ++i;
                        }
                    }
                }
            }
        }
        if (progress) progress(double(gy + 1) / double(groups_y));
    }
}

bool VoxelizedMesh::solid(uint32_t x, uint32_t y, uint32_t z) const {
    const uint32_t column = x + dims_[0] * y;
    auto it = std::lower_bound(runs_.begin(), runs_.end(), column,
                               [](const Run& r, uint32_t c) { return r.column < c; });
    for (; it != runs_.end() && it->column == column; ++it) {
        if (z >= it->z_begin && z < it->z_end) return true;
    }
    return false;
}

VoxelizedMesh voxelize(const TriangleSoup& soup, const std::array<uint32_t, 3>& dims, const Progress& progress) {
    const AxisCrossings along_z(soup, dims, 2, stage(progress, 0.0, 0.6));
    std::vector<VoxelizedMesh::Run> runs;
    std::vector<uint32_t> holed_columns;
    for (size_t i = 0; i < along_z.size();) {
        const uint64_t line = along_z.line_at(i);
        size_t end = i;
        while (end < along_z.size() && along_z.line_at(end) == line) ++end;
        if ((end - i) % 2 != 0) {
            holed_columns.push_back(uint32_t(line));
        } else {
            for (size_t c = i; c < end; c += 2) {
                if (along_z.k_at(c) < along_z.k_at(c + 1)) {
                    runs.push_back(VoxelizedMesh::Run{uint32_t(line), along_z.k_at(c), along_z.k_at(c + 1)});
                }
            }
        }
        i = end;
    }
    if (!holed_columns.empty()) {
        const AxisCrossings along_x(soup, dims, 0, stage(progress, 0.6, 0.8));
        const AxisCrossings along_y(soup, dims, 1, stage(progress, 0.8, 1.0));
        for (uint32_t column : holed_columns) {
            repair_column(column % dims[0], column / dims[0], along_z, along_x, along_y, dims, runs);
        }
        std::sort(runs.begin(), runs.end(), [](const VoxelizedMesh::Run& a, const VoxelizedMesh::Run& b) {
            return a.column < b.column || (a.column == b.column && a.z_begin < b.z_begin);
        });
    }
    if (progress) progress(1.0);
    return VoxelizedMesh(dims, std::move(runs));
}
