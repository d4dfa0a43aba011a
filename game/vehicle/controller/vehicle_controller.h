// The level's view of what drives a vehicle: stepped once per fixed physics step, before the
// vehicle's own update.
#pragma once

#include "game/vehicle/params/car_params.h"

class CVehicle;
class InputSystem;

class CVehicleController {
public:
    virtual ~CVehicleController() = default;

    // Not owned; null stops the controller.
    virtual void setVehicle(CVehicle* vehicle) = 0;
    // Not owned; null reads no input.
    virtual void setInput(InputSystem* input) = 0;
    virtual void setParams(const car::params::SCarController& params) = 0;
    virtual CVehicle* vehicle() = 0;
    virtual const CVehicle* vehicle() const = 0;
    virtual float engineSpeed() const = 0;
    // -1..1
    virtual float steering() const = 0;
    virtual float wheelResponse() const = 0;
    // The controller's grip factor, 0.3..1.
    virtual float attachment() const = 0;
    virtual void step(float dt) = 0;
};
