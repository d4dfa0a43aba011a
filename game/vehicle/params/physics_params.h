// Contact surfaces between the car and the world, as "physics.lua" configures them.
#pragma once

#include <ode/ode.h>

struct lua_State;

namespace physics {
namespace params {

struct SPhysicalSurface {
    // ODE contact mode bits a script may put in flags.
    enum { BOUNCE = 4, SOFT_ERP = 8, SOFT_CFM = 16 };

    SPhysicalSurface();

    // ODE's surface parameters from the fields (mode, mu, bounce, bounce_vel, soft_erp,
    // soft_cfm), filled anew on every call unless cached is set.
    const dSurfaceParameters& getSurfaceParameters() const;

    float miu;              // Coulomb friction; FLT_MAX is ODE's infinite friction
    float bounciness;       // restitution
    float bounce_velocity;  // minimum incoming speed for a bounce
    float soft_erp;
    float soft_cfm;
    float contact_dampener;  // factor on every contact's penetration depth
    bool orient_friction;    // first friction direction from the geom's orientation
    int flags;               // ODE contact mode bits
    bool cached;             // nothing sets it; when set, odeParameters is returned as it stands
    mutable dSurfaceParameters odeParameters;
};

// The two surfaces. Each pointer refers to the record's own embedded surface, also in copies,
// so a copy never depends on the object it was made from (in particular a script's).
struct SCollisions {
    SCollisions();
    SCollisions(const SCollisions& other);
    SCollisions& operator=(const SCollisions& other);

    SPhysicalSurface* car_to_terrain;
    SPhysicalSurface* car_to_buildings;
    SPhysicalSurface terrainRecord;
    SPhysicalSurface buildingsRecord;
};

// Registers the Lua module "physics" with Surface and Collisions.
void registerPhysicsParams(lua_State* L);

}  // namespace params
}  // namespace physics
