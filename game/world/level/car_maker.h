// What a level builds its car from: a vehicle over the level's car space and the controller
// that drives it. The game's maker is makeJeep; tests hand the level vehicles of their own.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "game/vehicle/car/vehicle.h"
#include "game/vehicle/controller/vehicle_controller.h"

class AudioSystem;
class PhysicsSpace;

namespace kesh {
class Decaler;
}

struct CarParts {
    std::unique_ptr<CVehicle> vehicle;
    std::unique_ptr<CVehicleController> controller;
};

// decaler and audio may be null; root is the art folder with its trailing separator.
using CarMaker = std::function<CarParts(PhysicsSpace& carSpace, kesh::Decaler* decaler,
                                        AudioSystem* audio, const std::wstring& root)>;

// The car of "car.lua" with the jeep controller.
CarParts makeJeep(PhysicsSpace& carSpace, kesh::Decaler* decaler, AudioSystem* audio,
                  const std::wstring& root);
