#include "game/vehicle/car/tracks.h"

Tracks::Tracks(float size, const D3DXVECTOR3& start)
    : lastPosition(start), mark(std::make_unique<DecalRequest>()) {
    mark->texture = kTexture;
    mark->position = start;
    mark->colour = kColour;
    mark->angle = 0.0f;
    mark->size = size;
    mark->lifetime = kLifetime;
}
