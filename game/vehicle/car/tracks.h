// The skid-mark trail of a car: where the last mark went and whether the next one starts a
// new segment.
#pragma once

#include <d3dx9math.h>

#include <memory>

#include "game/vehicle/car/decal_request.h"

struct Tracks {
    static constexpr const char* kTexture = "misc/tracks.tga";
    static constexpr std::uint32_t kColour = 0xFFFFFFFF;
    static constexpr double kLifetime = 20.0;

    // A mark of that size (the car's width) at the start position.
    Tracks(float size, const D3DXVECTOR3& start);

    D3DXVECTOR3 lastPosition;
    bool wasSkidding = false;
    bool newSegment = true;
    std::unique_ptr<DecalRequest> mark;
};
