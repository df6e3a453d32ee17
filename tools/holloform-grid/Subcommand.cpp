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
