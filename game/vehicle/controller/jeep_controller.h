// Turns the player's input into the car's motion: pedals and steering shaped from keys,
// an engine speed with its rules for braking, rolling out, crashing and reversing, drive and
// steering handed to the four wheels, and the four engine sounds' volumes.
#pragma once

#include <cstdint>

#include "game/vehicle/controller/vehicle_controller.h"
#include "game/vehicle/input/driving_input.h"

class AudioSystem;
class CSoundBase;

class C4X4WheelJeepController : public CVehicleController {
public:
    static constexpr int kEngineSounds = 4;
    static const char* const kEngineSoundNames[kEngineSounds];

    // audio may be null (silence); it is not owned.
    explicit C4X4WheelJeepController(AudioSystem* audio);

    void setVehicle(CVehicle* v) override { driven = v; }
    void setInput(InputSystem* i) override { input = i; }
    void setParams(const car::params::SCarController& params) override;
    CVehicle* vehicle() override { return driven; }
    const CVehicle* vehicle() const override { return driven; }
    float engineSpeed() const override { return speed; }
    float steering() const override { return steeringValue; }
    float wheelResponse() const override { return response; }
    float attachment() const override { return attachmentFactor; }
    void step(float dt) override;

    void readInput(float dt);
    // Moves current towards target along a sine curve: full value from rest after
    // (pi / 2) x time seconds; letting go returns at 0.7 times that rate and stops at 0;
    // steering through to the other side goes 1 / 0.7 times faster.
    static float approach(float current, float target, float dt, float time);

    // The volumes set last, in the order of kEngineSoundNames.
    float engineVolume(int sound) const { return volumes[sound]; }
    std::int32_t gear() const { return direction; }
    float throttleValue() const { return throttle; }
    float brakeValue() const { return brake; }

protected:
    // The driver's input of this step; the input system's when there is one.
    virtual void pollInput(DrivingInput& out);

private:
    void detach(float impulseLength, float dt);
    void loseToCollision(float impulseLength);
    void integrateEngine(float dt);
    void driveWheels();
    void rollOut(float dt);
    void switchGear(float dt);
    void setEngineSounds();
    void findEngineSounds();

    float response;
    float attachmentFactor;
    CVehicle* driven;
    InputSystem* input;
    float speed;
    float steeringValue;
    car::params::SCarController tuning;
    float reverseTimer;
    std::int32_t direction;
    float throttle;
    float brake;
    float steeringInput;
    bool handbrake;
    AudioSystem* audio;
    float volumes[kEngineSounds];
    // Looked up by name once the audio system has them; a volume goes to its sound only when
    // it differs from the one sent before (NaN: none sent yet).
    CSoundBase* engineSounds[kEngineSounds];
    float sentVolumes[kEngineSounds];
};
