#pragma once

#include <cstdint>

// Hashing for the tables whose keys may come from a file: every key bit reaches every hash bit, and a seed
// drawn once per process keeps keys from being chosen to share a bucket.

// The seed of this process.
uint64_t process_hash_seed();

// A bijective scramble of 64 bits: xor-shifts and odd multiplications.
inline uint64_t mix64(uint64_t h) {
    h ^= h >> 30;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 27;
    h *= 0x94D049BB133111EBull;
    h ^= h >> 31;
    return h;
}

// The hash of three coordinates under `seed`.
inline uint64_t hash_coordinates(uint32_t x, uint32_t y, uint32_t z, uint64_t seed) {
    return mix64(mix64((uint64_t{x} << 32 | y) ^ seed) ^ z);
}
