#include "game/vehicle/physics/ground_plane.h"

GroundPlane::GroundPlane(float height) : height(height) {
    ode_compat::initialise();
    addGeom(dCreatePlane(nullptr, 0.0, 1.0, 0.0, height));
}
