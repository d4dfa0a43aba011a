// A mark a scene object asks the level to lay on the ground and keep for a while (skid
// marks). The level copies it; the object may change the request once it has been taken.
#pragma once

#include <d3dx9math.h>

#include <cstdint>
#include <string>

struct DecalRequest {
    std::string texture;   // texture cache name
    D3DXVECTOR3 position;  // centre, world space
    std::uint32_t colour;  // ARGB
    float angle;           // radians about the vertical axis
    float size;            // from the centre to each corner
    double lifetime;       // seconds the level keeps the mark
};
