#pragma once

#include <cstdint>
#include <string>

#include "grid/IntBox.h"

class World;

// Writes the limit surface of `box` as it stands (the surface vertices where
// the simulation has moved them, no further step) to an OBJ, binary STL or
// binary PLY file chosen by the extension. `frame` is the surface frame the
// display would show next: the vertices are read as that frame reads them
// and are stamped with it, so the display must move on past it (two frames,
// to keep the buffer parity) before it draws again. Throws ExchangeError
// naming the file when the type is unknown or the file cannot be written.
void export_limit_surface(World& world, const IntBox& box, const std::string& path, uint32_t frame);
