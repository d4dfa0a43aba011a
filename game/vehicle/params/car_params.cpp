#include "game/vehicle/params/car_params.h"

namespace car {
namespace params {

namespace {

const float kEighthTurn = 0.39269909f;  // pi / 8
const float kThirtyDegrees = 0.5235987f;

}  // namespace

SCarWheelSetup::SCarWheelSetup() : turn_freedom(kEighthTurn), suspension_height(0.0f) {}

SBasicWheelSetup::SBasicWheelSetup() : mass(10.0f), side_friction(0.4f), front_friction(0.1f) {}

SCarController::SCarController()
    : engine_power(150.0f),
      accel_power(10.0f),
      break_power(100.0f),
      break_blocks(1.0f),
      steer_tension(1.0f),
      force_feedback(0.0f),
      collision_start_detach(100000.0f),
      collision_breakpoint(110000.0f),
      time_to_reattach(1.0f) {}

SCamera::SCamera() : inertia(0.75f), distance(13.0f), target_offset(0.0f), angle(kThirtyDegrees) {}

SCar::SCar()
    : mass(40.0f),
      mass_ode(1.0f),
      mass_translate(0.0f),
      side_friction(0.4f),
      front_friction(0.1f),
      hack_delta_x(0.0f),
      hack_delta_y(0.0f),
      hack_delta_z(0.0f),
      width(0.0f),
      length(0.0f),
      height(0.0f) {
    pointAtOwnRecords();
}

SCar::SCar(const SCar& other) : SBaseParams(other) {
    copyFrom(other);
}

SCar& SCar::operator=(const SCar& other) {
    if (this != &other) {
        SBaseParams::operator=(other);
        copyFrom(other);
    }
    return *this;
}

void SCar::pointAtOwnRecords() {
    front_wheels = &frontWheelsRecord;
    back_wheels = &backWheelsRecord;
    controller = &controllerRecord;
    camera_outside = &cameraOutsideRecord;
    camera_inside = &cameraInsideRecord;
    wheel1 = &wheel1Record;
    wheel2 = &wheel2Record;
    wheel3 = &wheel3Record;
    wheel4 = &wheel4Record;
}

void SCar::copyFrom(const SCar& other) {
    mass = other.mass;
    mass_ode = other.mass_ode;
    mass_translate = other.mass_translate;
    side_friction = other.side_friction;
    front_friction = other.front_friction;
    hack_delta_x = other.hack_delta_x;
    hack_delta_y = other.hack_delta_y;
    hack_delta_z = other.hack_delta_z;
    width = other.width;
    length = other.length;
    height = other.height;
    antena = other.antena;
    object_bundle = other.object_bundle;
    // The values the source's pointers refer to become this record's own.
    frontWheelsRecord = *other.front_wheels;
    backWheelsRecord = *other.back_wheels;
    controllerRecord = *other.controller;
    cameraOutsideRecord = *other.camera_outside;
    cameraInsideRecord = *other.camera_inside;
    wheel1Record = *other.wheel1;
    wheel2Record = *other.wheel2;
    wheel3Record = *other.wheel3;
    wheel4Record = *other.wheel4;
    pointAtOwnRecords();
}

}  // namespace params
}  // namespace car
