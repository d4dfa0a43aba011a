// Cell numbers of the level's two grids (the statics' query grid and the effect cells),
// computed so that no coordinate, however far outside or degenerate, reaches an int
// conversion unclamped.
#pragma once

#include <cmath>

namespace grid_index {

// floor((value - origin) / size) as a float; 0 for a cell size of 0 or less and for a
// coordinate that is not a number.
inline float cellCoordinate(float value, float origin, float size) {
    if (!(size > 0.0f)) {
        return 0.0f;
    }
    const float coordinate = std::floor((value - origin) / size);
    return std::isnan(coordinate) ? 0.0f : coordinate;
}

// coordinate clamped to 0 .. count - 1 before it becomes an int.
inline int clampedCell(float coordinate, int count) {
    if (coordinate < 0.0f) {
        return 0;
    }
    const float last = static_cast<float>(count - 1);
    return coordinate > last ? count - 1 : static_cast<int>(coordinate);
}

}  // namespace grid_index
