// Deterministic randomness for the generators: the same numbers on every run and machine
// (no library generator whose sequence may differ between implementations).
#pragma once

#include <cstdint>

namespace arttool {

// A 32-bit integer hash of a point and a seed.
std::uint32_t hash(std::int32_t x, std::int32_t y, std::uint32_t seed);
// In [0, 1).
float hashUnit(std::int32_t x, std::int32_t y, std::uint32_t seed);
// Smooth value noise in [0, 1); `period` > 0 wraps the lattice so the noise tiles.
float valueNoise(float x, float y, std::uint32_t seed, int period = 0);
// Several octaves of value noise, in [0, 1).
float fractalNoise(float x, float y, std::uint32_t seed, int octaves, int period = 0);

class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed * 2654435761u + 1u) {}
    std::uint32_t next();
    // In [0, 1).
    float unit();
    // In [low, high).
    float range(float low, float high) { return low + (high - low) * unit(); }

private:
    std::uint32_t state_;
};

}  // namespace arttool
