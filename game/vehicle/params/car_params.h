// The car as "car.lua" describes it: body size and masses, mesh names, the two wheel-pair
// setups, the controller tuning and the two cameras.
#pragma once

#include <string>

struct lua_State;

namespace car {
namespace params {

// A mesh: an object of the car's object bundle and the effect it is drawn with.
struct SBaseParams {
    std::string object;
    std::string effect;
};

// One wheel pair.
struct SCarWheelSetup {
    SCarWheelSetup();

    float turn_freedom;       // steering angle in radians at full input
    float suspension_height;  // the mount point stays at least this far above the ground
};

struct SBasicWheelSetup : SCarWheelSetup {
    SBasicWheelSetup();

    float mass;
    float side_friction;   // kept with the wheel; the wheel model does not read it
    float front_friction;  // kept with the wheel; the wheel model does not read it
    SBaseParams mesh;
};

struct SCarController {
    SCarController();

    float engine_power;  // top engine speed forward; reverse reaches a quarter of it
    float accel_power;   // engine speed gained per second at full throttle
    float break_power;   // engine speed lost per second at full brake
    float break_blocks;  // how far full brake cuts the drive handed to the wheels
    float steer_tension;
    float force_feedback;          // share of engine speed lost to collisions and braking
    float collision_start_detach;  // impulse rate above which the wheels start to lose grip
    float collision_breakpoint;    // impulse rate at which the grip reaches its floor
    float time_to_reattach;        // grip regained per second
};

struct SCamera {
    SCamera();

    float inertia;  // smoothing factor
    float distance;
    float target_offset;  // height of the looked-at point above the car
    float angle;          // elevation in radians
};

// The body mesh comes from the base: object names the body, effect draws body, antenna and
// wheels. Each pointer refers to the record's own embedded record, also in copies, so a copy
// never depends on the object it was made from (in particular a script's).
struct SCar : SBaseParams {
    SCar();
    SCar(const SCar& other);
    SCar& operator=(const SCar& other);

    float mass;            // shared out to the four wheels' force models
    float mass_ode;        // total mass of the ODE body
    float mass_translate;  // weight shift, -1 all back to 1 all front
    float side_friction;
    float front_friction;
    float hack_delta_x;  // offset of the initial position
    float hack_delta_y;
    float hack_delta_z;
    float width;
    float length;
    float height;
    std::string antena;
    SCarWheelSetup* front_wheels;
    SCarWheelSetup* back_wheels;
    SCarController* controller;
    SCamera* camera_outside;
    SCamera* camera_inside;
    std::string object_bundle;  // level file holding the car's objects
    SBaseParams* wheel1;
    SBaseParams* wheel2;
    SBaseParams* wheel3;
    SBaseParams* wheel4;

    SBaseParams wheel1Record;
    SBaseParams wheel2Record;
    SBaseParams wheel3Record;
    SBaseParams wheel4Record;
    SCarWheelSetup frontWheelsRecord;
    SCarWheelSetup backWheelsRecord;
    SCarController controllerRecord;
    SCamera cameraInsideRecord;
    SCamera cameraOutsideRecord;

private:
    void pointAtOwnRecords();
    void copyFrom(const SCar& other);
};

// Registers __base_morvale_mesh, CarWheel, BasicWheel, CarController, Camera and Car.
void registerCarParams(lua_State* L);

}  // namespace params
}  // namespace car
