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

void requireFinite(const D3DXMATRIX& m, int columns, const std::string& what) {
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < columns; ++col) {
            if (!std::isfinite(m.m[row][col])) {
                throw std::runtime_error(what + " has a transform that is not finite");
            }
        }
    }
}

}  // namespace

void requireFinitePlacement(const D3DXMATRIX& m, const std::string& what) {
    requireFinite(m, 4, what);
}

kesh::Transform checkedPlacement(const D3DXMATRIX& m, PlacementScale scale,
                                 const std::string& what) {
    requireFinite(m, 3, what);
    const Axis rows[3] = {{m._11, m._12, m._13}, {m._21, m._22, m._23}, {m._31, m._32, m._33}};
    const double lengths[3] = {length(rows[0]), length(rows[1]), length(rows[2])};
    const double longest = std::max({lengths[0], lengths[1], lengths[2]});
    const std::string degenerate = what + " has a degenerate transform";
    // The axis made from the other two: a collapsed one, else the third.
    int made = 2;
    int collapsed = 0;
    for (int row = 0; row < 3; ++row) {
        if (!(lengths[row] > longest * kLeastShare)) {
            made = row;
            ++collapsed;
        }
    }
    if (collapsed > 1) {
        throw std::runtime_error(degenerate);
    }
    const int first = (made + 1) % 3;
    const int second = (made + 2) % 3;
    Axis axes[3];
    axes[first] = scaled(rows[first], 1.0 / lengths[first]);
    const Axis turned = minus(rows[second], scaled(axes[first], dot(rows[second], axes[first])));
    const double turnedLength = length(turned);
    if (!(turnedLength > lengths[second] * kLeastSine)) {
        throw std::runtime_error(degenerate);
    }
    axes[second] = scaled(turned, 1.0 / turnedLength);
    axes[made] = cross(axes[first], axes[second]);
    double signs[3] = {1.0, 1.0, 1.0};
    if (collapsed == 0) {
        const double along = dot(rows[made], axes[made]);
        if (!(std::fabs(along) > lengths[made] * kLeastSine)) {
            throw std::runtime_error(degenerate);
        }
        if (along < 0.0) {
            // Turning the first axis round as well keeps the rotation proper.
            axes[0] = scaled(axes[0], -1.0);
            axes[2] = scaled(axes[2], -1.0);
            signs[0] = -1.0;
        }
    }

    D3DXMATRIX turn;
    D3DXMatrixIdentity(&turn);
    for (int row = 0; row < 3; ++row) {
        turn.m[row][0] = static_cast<float>(axes[row].x);
        turn.m[row][1] = static_cast<float>(axes[row].y);
        turn.m[row][2] = static_cast<float>(axes[row].z);
    }
    turn._41 = m._41;
    turn._42 = m._42;
    turn._43 = m._43;
    kesh::Transform out(turn);
    float* scales = out.scale;
    for (int row = 0; row < 3; ++row) {
        scales[row] =
            scale == PlacementScale::Keep ? static_cast<float>(signs[row] * lengths[row]) : 1.0f;
        // An axis of nearly the largest float can come out longer than a float holds.
        if (!std::isfinite(scales[row])) {
            throw std::runtime_error(what + " has a transform that is not finite");
        }
    }
    return out;
}

}  // namespace data
}  // namespace kesh
