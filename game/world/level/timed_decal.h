// A mark the level keeps on the ground until its time is up.
#pragma once

#include <d3dx9math.h>

#include <cstdint>
#include <string>

struct TimedDecal {
    std::string texture;
    D3DXVECTOR3 position;
    std::uint32_t colour;  // ARGB
    float angle;           // radians about the vertical axis
    float size;
    double expiry;  // on the clock of FrameTime::time
};
