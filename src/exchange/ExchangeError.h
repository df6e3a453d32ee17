#pragma once

#include <stdexcept>
#include <string>

// A model file that cannot be read or written: the message names the file
// and the reason ("model.vox: the XYZI chunk lists more voxels than it
// holds"). Whatever failed, the grid it was meant for is left as it was.
class ExchangeError : public std::runtime_error {
public:
    ExchangeError(const std::string& path, const std::string& reason) : std::runtime_error(path + ": " + reason) {}
};
