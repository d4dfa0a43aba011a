// The jeep controller with the driver's input given by the test instead of an input system.
#pragma once

#include "game/vehicle/controller/jeep_controller.h"
#include "tests/vehicle_car/step_time.h"

namespace car_testing {

class ScriptedController : public C4X4WheelJeepController {
public:
    using C4X4WheelJeepController::C4X4WheelJeepController;

    // Analog pedals and steering, as a game controller gives them.
    void hold(double accelerate, double steering, bool handbrake = false) {
        next.accelerate = accelerate;
        next.steering = steering;
        next.accelerateAnalog = true;
        next.steeringAnalog = true;
        next.handbrake = handbrake;
    }
    // Keys: pedals and steering shaped over time by the controller.
    void press(double accelerate, double steering) {
        next = DrivingInput();
        next.accelerate = accelerate;
        next.steering = steering;
    }

    DrivingInput next;

protected:
    void pollInput(DrivingInput& out) override { out = next; }
};

}  // namespace car_testing
