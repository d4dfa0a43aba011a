#include "game/world/level/car_maker.h"

#include "game/vehicle/car/car.h"
#include "game/vehicle/controller/jeep_controller.h"

namespace {

const wchar_t kCarScript[] = L"car.lua";

}  // namespace

CarParts makeJeep(PhysicsSpace& carSpace, kesh::Decaler* decaler, AudioSystem* audio,
                  const std::wstring& root) {
    CarParts parts;
    parts.vehicle = std::make_unique<CCar>(&carSpace, decaler, audio, root, kCarScript);
    parts.controller = std::make_unique<C4X4WheelJeepController>(audio);
    return parts;
}
