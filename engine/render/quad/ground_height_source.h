// Where the ground lies under a horizontal point: what decals are laid onto.
#pragma once

namespace kesh {

class GroundHeightSource {
public:
    virtual ~GroundHeightSource() = default;
    // The height (y) of the ground under the point (x, z), given x first.
    virtual float groundHeight(const float point[2]) = 0;
};

}  // namespace kesh
