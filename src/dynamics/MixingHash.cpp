#include "dynamics/MixingHash.h"

#include <chrono>
#include <random>

uint64_t process_hash_seed() {
    static const uint64_t seed = [] {
        uint64_t s = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        try {
            std::random_device device;
            s ^= uint64_t{device()} << 32 | device();
        } catch (...) {
            // No entropy source: the clock alone still varies from run to run.
        }
        return mix64(s);
    }();
    return seed;
}
