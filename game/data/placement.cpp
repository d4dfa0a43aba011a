#include "game/data/placement.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace kesh {
namespace data {

namespace {

// Sums of squares of float entries overflow float long before double.
struct Axis {
    double x, y, z;
};

double dot(const Axis& a, const Axis& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

double length(const Axis& a) {
    return std::sqrt(dot(a, a));
}

Axis scaled(const Axis& a, double s) {
    return Axis{a.x * s, a.y * s, a.z * s};
}

Axis minus(const Axis& a, const Axis& b) {
    return Axis{a.x - b.x, a.y - b.y, a.z - b.z};
}

Axis cross(const Axis& a, const Axis& b) {
    return Axis{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// An axis shorter than this share of the longest one has collapsed; axes whose sine to the
// plane of the others is below this lie in it. Both far beyond what a float's rounding does
// to a sound matrix.
constexpr double kLeastShare = 1e-6;
constexpr double kLeastSine = 1e-3;

}  // namespace

D3DXMATRIX checkedPlacement(const D3DXMATRIX& m, PlacementScale scale, const std::string& what) {
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 3; ++col) {
            if (!std::isfinite(m.m[row][col])) {
                throw std::runtime_error(what + " has a transform that is not finite");
            }
        }
    }
    const Axis rows[3] = {{m._11, m._12, m._13}, {m._21, m._22, m._23}, {m._31, m._32, m._33}};
    const double lengths[3] = {length(rows[0]), length(rows[1]), length(rows[2])};
    const double longest = std::max({lengths[0], lengths[1], lengths[2]});
    const std::string degenerate = what + " has a degenerate transform";
    for (const double l : lengths) {
        if (!(l > longest * kLeastShare)) {
            throw std::runtime_error(degenerate);
        }
    }
    Axis axes[3];
    axes[0] = scaled(rows[0], 1.0 / lengths[0]);
    const Axis second = minus(rows[1], scaled(axes[0], dot(rows[1], axes[0])));
    const double secondLength = length(second);
    if (!(secondLength > lengths[1] * kLeastSine)) {
        throw std::runtime_error(degenerate);
    }
    axes[1] = scaled(second, 1.0 / secondLength);
    axes[2] = cross(axes[0], axes[1]);
    if (!(std::fabs(dot(rows[2], axes[2])) > lengths[2] * kLeastSine)) {
        throw std::runtime_error(degenerate);
    }

    D3DXMATRIX out = m;
    for (int row = 0; row < 3; ++row) {
        const double s = scale == PlacementScale::Keep ? lengths[row] : 1.0;
        const float values[3] = {static_cast<float>(axes[row].x * s),
                                 static_cast<float>(axes[row].y * s),
                                 static_cast<float>(axes[row].z * s)};
        for (int col = 0; col < 3; ++col) {
            // An axis of nearly the largest float can come out longer than a float holds.
            if (!std::isfinite(values[col])) {
                throw std::runtime_error(what + " has a transform that is not finite");
            }
            out.m[row][col] = values[col];
        }
        out.m[row][3] = 0.0f;
    }
    out._44 = 1.0f;
    return out;
}

}  // namespace data
}  // namespace kesh
