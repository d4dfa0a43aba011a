// The car's simulation as a bare ODE program: a world, spaces, geoms and one body copied
// from the game's level (the body's mass and motion, its two capsules and box, the four
// wheel rays, the level's static collision boxes and its ground plane), stepped the way the
// level steps: rays cast against the ground, the body's geoms collided with the statics and
// the ground into contact joints with the script's surfaces (feedback on, as the game keeps
// it), one dWorldStep of the same size, the joints dropped. Before each step the body takes
// the state the game's body had before its own step and the force and torque the game had
// put on it when its solve began (replay), so both collide the same geoms at the same places,
// make the same contacts and solve the same problem. Where the body goes afterwards is not
// looked at.
#pragma once

#include <ode/ode.h>

#include <vector>

#include "game/vehicle/params/physics_params.h"

class CCar;
class GroundPlane;
class StaticsSet;

namespace bench {

class BareOdeCar {
public:
    static constexpr int kMaxContacts = 256;

    // The state of a body: position, quaternion, linear and angular velocity.
    struct State {
        dReal position[3];
        dQuaternion rotation;
        dReal velocity[3];
        dReal spin[3];
        static State of(dBodyID body);
    };
    // What the world's solve adds to gravity and the contacts: the body's force and torque.
    struct Push {
        dReal force[3];
        dReal torque[3];
        static Push of(dBodyID body);
    };

    // Copies what it needs; nothing of the game is used by step. The statics go into a space
    // of the class the game's statics space has.
    BareOdeCar(const CCar& car, StaticsSet& statics, const GroundPlane& ground,
               const physics::params::SCollisions& surfaces);
    ~BareOdeCar();
    BareOdeCar(const BareOdeCar&) = delete;
    BareOdeCar& operator=(const BareOdeCar&) = delete;

    void step(const State& from, const Push& push, float dt);
    // Contact joints of the last step.
    int contacts() const { return lastContacts; }

private:
    struct Mount {
        dReal x, z;
        dGeomID ray;
    };
    void collide(dSpaceID other, const physics::params::SPhysicalSurface& surface);

    dWorldID world;
    dJointGroupID joints;
    dSpaceID carSpace;
    dSpaceID wheelSpace;
    dSpaceID staticsSpace;
    dSpaceID groundSpace;
    dBodyID body;
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
