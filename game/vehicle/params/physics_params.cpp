#include "game/vehicle/params/physics_params.h"

#include <cfloat>

namespace physics {
namespace params {

SPhysicalSurface::SPhysicalSurface()
    : miu(FLT_MAX),
      bounciness(0.0f),
      bounce_velocity(0.0f),
      soft_erp(0.0f),
      soft_cfm(0.0f),
      contact_dampener(1.0f),
      orient_friction(false),
      flags(0),
      cached(false),
      odeParameters() {}

const dSurfaceParameters& SPhysicalSurface::getSurfaceParameters() const {
    if (!cached) {
        odeParameters.mode = flags;
        odeParameters.mu = miu;
        odeParameters.bounce = bounciness;
        odeParameters.bounce_vel = bounce_velocity;
        odeParameters.soft_erp = soft_erp;
        odeParameters.soft_cfm = soft_cfm;
    }
    return odeParameters;
}

SCollisions::SCollisions() : car_to_terrain(&terrainRecord), car_to_buildings(&buildingsRecord) {}

SCollisions::SCollisions(const SCollisions& other)
    : car_to_terrain(&terrainRecord),
      car_to_buildings(&buildingsRecord),
      terrainRecord(*other.car_to_terrain),
      buildingsRecord(*other.car_to_buildings) {}

SCollisions& SCollisions::operator=(const SCollisions& other) {
    terrainRecord = *other.car_to_terrain;
    buildingsRecord = *other.car_to_buildings;
    car_to_terrain = &terrainRecord;
    car_to_buildings = &buildingsRecord;
    return *this;
}

}  // namespace params
}  // namespace physics
