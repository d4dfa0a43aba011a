// What the driver asks of the car in one physics step, and what one input device last said.
#pragma once

struct DrivingInput {
    double accelerate = 0.0;        // -1..1: positive accelerates, negative brakes
    double steering = 0.0;          // -1 left .. 1 right
    bool accelerateAnalog = false;  // accelerate came from an analog source
    bool steeringAnalog = false;    // steering came from an analog source
    bool handbrake = false;         // the brake action is held
};

// Which kind of device a state belongs to: the flags 'M' and 'J' decide whether the mouse's
// and the controllers' controls count; the keyboard's always do.
enum class InputSource { Keyboard, Mouse, Controller };

struct DeviceState {
    InputSource source = InputSource::Controller;
    double accelerate = 0.0;  // the two pedal parts below together
    double steering = 0.0;
    bool handbrake = false;
    // A device with separate pedals reports each on its own: letting go of the brake must
    // not wipe out the accelerator held down at the same time.
    double acceleratorPart = 0.0;  // accelerator pedal or combined axis
    double brakePart = 0.0;        // brake pedal (0 or negative)
};
