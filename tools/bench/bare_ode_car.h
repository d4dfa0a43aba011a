// The car's simulation as a bare ODE program: a world, spaces, geoms and one body copied
// from the game's level (the body's mass and motion, its two capsules and box, the four
// wheel rays, the level's static collision boxes and its ground plane), stepped the way the
// level steps: rays cast against the ground, the body's geoms collided with the statics and
// the ground into contact joints with the script's surfaces (feedback on, as the game keeps
// it), one dWorldStep of the same size, the joints dropped. The wheels hold the body up by a
// plain spring and damper along each ray, at the height the car had when it was copied (so
// that its body meets the ground as the car's does), and a force drives it forward up to a
// speed: no more than the program needs to keep the car on its wheels and moving.
#pragma once

#include <ode/ode.h>

#include <vector>

#include "game/vehicle/params/physics_params.h"

class CCar;
class GroundPlane;
class PhysicsSpace;

namespace bench {

class BareOdeCar {
public:
    static constexpr int kMaxContacts = 256;

    // Copies what it needs; nothing of the game is used by step. cruise is the forward speed
    // the drive force pushes up to.
    BareOdeCar(const CCar& car, const PhysicsSpace& statics, const GroundPlane& ground,
               const physics::params::SCollisions& surfaces, float cruise);
    ~BareOdeCar();
    BareOdeCar(const BareOdeCar&) = delete;
    BareOdeCar& operator=(const BareOdeCar&) = delete;

    void step(float dt);
    // Contact joints of the last step.
    int contacts() const { return lastContacts; }
    const dReal* position() const { return dBodyGetPosition(body); }

private:
    struct Mount {
        dReal x, z;
        dGeomID ray;
        dReal length;
    };
    void collide(dSpaceID other, const physics::params::SPhysicalSurface& surface);

    dWorldID world;
    dJointGroupID joints;
    dSpaceID carSpace;
    dSpaceID wheelSpace;
    dSpaceID staticsSpace;
    dSpaceID groundSpace;
    dBodyID body;
    dReal mass;
    dReal rideHeight;  // of the body above the ground, where the springs rest
    float cruise;
    std::vector<dGeomID> carGeoms;
    std::vector<Mount> mounts;
    physics::params::SPhysicalSurface terrain;
    physics::params::SPhysicalSurface buildings;
    dContactGeom found[kMaxContacts];
    dJointFeedback feedback[kMaxContacts];
    int feedbackUsed = 0;
    int lastContacts = 0;
};

}  // namespace bench
