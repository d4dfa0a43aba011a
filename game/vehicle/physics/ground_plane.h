// The level's infinite floor: the plane y = height, facing up.
#pragma once

#include "game/vehicle/physics/physics_object.h"

class GroundPlane : public PhysicsObject {
public:
    explicit GroundPlane(float height);

    float height;
};
