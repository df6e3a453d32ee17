// Loads arbitrary bytes as a grid file. Every input must either be refused
// with a file error or give a grid that passes the structure check and that
// saves and loads back unchanged.
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "grid/GridInvariants.h"
#include "persistence/Exception.h"
#include "persistence/GridFile.h"

namespace {

std::string saved(const LoadedGrid& loaded) {
    std::ostringstream out;
    save_grid(*loaded.grid, loaded.boundary_flag, out);
    return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::cerr.setstate(std::ios::badbit);  // what the loader reports goes nowhere
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    try {
        const LoadedGrid loaded = load_grid(in);
        if (find_grid_fault(*loaded.grid) != nullptr) std::abort();
        const std::string bytes = saved(loaded);
        std::istringstream again(bytes);
        if (saved(load_grid(again)) != bytes) std::abort();
    } catch (const Util_E26EF::Exception&) {
        // A refused file is a correct outcome.
    }
    return 0;
}
