#include "grid/RowSpans.h"

#include <algorithm>

namespace {

class SpanCollector {
public:
    SpanCollector(const VoxelGrid& grid, uint32_t axis, std::vector<RowSpan>& spans)
        : grid_(grid), leaf_level_(grid.leaf_level()), axis_(axis), spans_(spans), first_(spans.size()) {}

    // The children of `node` (of `level`) along the row, from p[axis] to
    // `end` or the node's end, whichever comes first.
    void collect(const GridNode& node, uint32_t level, uint32_t p[3], uint32_t end) {
        const uint32_t shift = 3 * (leaf_level_ - level);  // children are 1 << shift voxels a side
        ChildIndex child{(p[0] >> shift) & 7u, (p[1] >> shift) & 7u, (p[2] >> shift) & 7u};
        uint32_t& along = axis_ == 0 ? child.x : axis_ == 1 ? child.y : child.z;
        uint32_t& t = p[axis_];
        const uint32_t node_end = ((t >> (shift + 3)) + 1) << (shift + 3);
        const uint32_t stop = std::min(end, node_end);
        while (t < stop) {
            along = (t >> shift) & 7u;
            const uint32_t cell_end = std::min(stop, ((t >> shift) + 1) << shift);
            if (!node.subdivided.test(child)) {
                add_uniform(t, cell_end, node.solid.test(child));
            } else if (level + 1 == leaf_level_) {
                add_leaf(t, cell_end, grid_.find_leaf(p[0], p[1], p[2]));
            } else if (const GridNode* below = grid_.find_node(p[0], p[1], p[2], level + 1)) {
                collect(*below, level + 1, p, cell_end);
            } else {
                add_uniform(t, cell_end, false);
            }
            t = cell_end;
        }
    }

private:
    void add_uniform(uint32_t begin, uint32_t end, bool solid) {
        if (spans_.size() > first_) {
            RowSpan& last = spans_.back();
            if (!last.leaf && last.solid == solid && last.end == begin) {
                last.end = end;
                return;
            }
        }
        spans_.push_back(RowSpan{begin, end, nullptr, solid});
    }

    void add_leaf(uint32_t begin, uint32_t end, const LeafBlock* leaf) {
        if (leaf) {
            spans_.push_back(RowSpan{begin, end, leaf, false});
        } else {
            add_uniform(begin, end, false);
        }
    }

    const VoxelGrid& grid_;
    const uint32_t leaf_level_;
    const uint32_t axis_;
    std::vector<RowSpan>& spans_;
    const size_t first_;  // this row's first stretch: earlier ones are never merged into
};

}  // namespace

void collect_row_spans(const VoxelGrid& grid, const uint32_t voxel[3], uint32_t axis, uint32_t begin, uint32_t end,
                       std::vector<RowSpan>& spans) {
    uint32_t p[3] = {voxel[0], voxel[1], voxel[2]};
    p[axis] = begin;
    SpanCollector(grid, axis, spans).collect(grid.root(), 0, p, end);
}
