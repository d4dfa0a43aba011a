// What the driver asks of the car in one physics step, and what one input device last said.
#pragma once

struct DrivingInput {
    double accelerate = 0.0;  // -1..1: positive accelerates, negative brakes
    double steering = 0.0;    // -1 left .. 1 right
    bool accelerateAnalog = false;  // accelerate came from an analog source
    bool steeringAnalog = false;    // steering came from an analog source
    bool handbrake = false;         // the brake action is held
};

struct DeviceState {
    double accelerate = 0.0;
    double steering = 0.0;
    bool handbrake = false;
};
