#include "tools/arttool/noise.h"

#include <cmath>

namespace arttool {

std::uint32_t hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13 | h >> 19) * 0xC2B2AE3Du;
    h ^= static_cast<std::uint32_t>(y) * 0x27D4EB2Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

float hashUnit(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    return static_cast<float>(hash(x, y, seed) >> 8) / 16777216.0f;
}

namespace {

int wrap(int value, int period) {
    if (period <= 0) {
        return value;
    }
    const int m = value % period;
    return m < 0 ? m + period : m;
}

float smooth(float t) {
    return t * t * (3.0f - 2.0f * t);
}

}  // namespace

float valueNoise(float x, float y, std::uint32_t seed, int period) {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int x0 = static_cast<int>(fx);
    const int y0 = static_cast<int>(fy);
    const float tx = smooth(x - fx);
    const float ty = smooth(y - fy);
    auto corner = [&](int dx, int dy) {
        return hashUnit(wrap(x0 + dx, period), wrap(y0 + dy, period), seed);
    };
    const float top = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * tx;
    const float bottom = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * tx;
    return top + (bottom - top) * ty;
}

float fractalNoise(float x, float y, std::uint32_t seed, int octaves, int period) {
    float sum = 0.0f;
    float weight = 0.5f;
    float total = 0.0f;
    float scale = 1.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * valueNoise(x * scale, y * scale, seed + static_cast<std::uint32_t>(i),
                                   period > 0 ? static_cast<int>(period * scale) : 0);
        total += weight;
        weight *= 0.5f;
        scale *= 2.0f;
    }
    return sum / total * 0.9999f;
}

std::uint32_t Random::next() {
    // xorshift32: fixed sequence everywhere.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

float Random::unit() {
    return static_cast<float>(next() >> 8) / 16777216.0f;
}

}  // namespace arttool
