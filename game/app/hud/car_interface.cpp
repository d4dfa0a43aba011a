#include "game/app/hud/car_interface.h"

#include <utility>

#include "game/app/hud/cockpit_view.h"
#include "game/app/hud/outside_view.h"

CarInterface::CarInterface(std::string meshEffect, std::string interfaceEffect,
                           const std::wstring& cockpitLevelFile,
                           const std::wstring& outsideLevelFile, kesh::CameraView* camera,
                           kesh::PerfTimer* timer, AudioSystem* audio)
    : timer(timer),
      cockpitLevelFile(cockpitLevelFile),
      outsideLevelFile(outsideLevelFile),
      camera(camera),
      meshEffect(std::move(meshEffect)),
      interfaceEffect(std::move(interfaceEffect)),
      audio(audio) {
    setView(false);
}

void CarInterface::setView(bool inside) {
    std::unique_ptr<CarInterfaceView> next;
    if (inside) {
        next = std::make_unique<CockpitView>(cockpitLevelFile, meshEffect, interfaceEffect, camera,
                                             timer, audio);
    } else {
        next = std::make_unique<OutsideView>(outsideLevelFile, meshEffect, interfaceEffect, camera,
                                             timer, audio);
    }
    view = std::move(next);
}

void CarInterface::render(const D3DXVECTOR3& carPosition, const D3DXQUATERNION& carOrientation,
                          const D3DXVECTOR3& targetPosition, float steeringAngle, float speed) {
    view->render(carPosition, carOrientation, targetPosition, steeringAngle, speed);
}
