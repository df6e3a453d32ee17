#include "Subcommand.h"

#include <cstring>
#include <iostream>

std::vector<Subcommand>& registered_subcommands() {
    static std::vector<Subcommand> subcommands;
    return subcommands;
}

int report_file_error(const Util_E26EF::Exception& error) {
    if (error.message) std::cerr << error.message << '\n';
    if (error.detail) std::cerr << error.detail << '\n';
    if (error.error_number != 0) std::cerr << std::strerror(error.error_number) << '\n';
    return 1;
}

void report_empty_box() {
    std::cerr << "holloform-grid: the box holds no surface; the output is empty "
                 "(info prints solid_bounds, the box that holds the solid voxels)\n";
}

const char* const kBoundNames[6] = {"X0", "Y0", "Z0", "X1", "Y1", "Z1"};

bool checked_box(const int64_t (&bounds)[6], uint32_t side, IntBox& box) {
    for (int i = 0; i < 6; ++i) {
        if (bounds[i] < 0 || bounds[i] >= side) {
            std::cerr << "holloform-grid: " << kBoundNames[i] << " = " << bounds[i]
                      << " lies outside the grid (0 to " << side - 1 << ")\n";
            return false;
        }
    }
    for (int axis = 0; axis < 3; ++axis) {
        if (bounds[axis] > bounds[axis + 3]) {
            std::cerr << "holloform-grid: " << kBoundNames[axis] << " = " << bounds[axis] << " is above "
                      << kBoundNames[axis + 3] << " = " << bounds[axis + 3] << "\n";
            return false;
        }
    }
    box = IntBox{uint32_t(bounds[0]), uint32_t(bounds[1]), uint32_t(bounds[2]),
                 uint32_t(bounds[3]), uint32_t(bounds[4]), uint32_t(bounds[5])};
    return true;
}
