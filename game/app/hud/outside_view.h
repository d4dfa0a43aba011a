// The instruments seen from outside the car: a radar frame, a speedometer dial and its
// needle flat on the screen, and the radar.
#pragma once

#include "game/app/hud/car_interface_view.h"

class OutsideView : public CarInterfaceView {
public:
    OutsideView(const std::wstring& levelFile, const std::string& meshEffect,
                const std::string& interfaceEffect, kesh::CameraView* camera,
                kesh::PerfTimer* timer, AudioSystem* audio);

    void render(const D3DXVECTOR3& carPosition, const D3DXQUATERNION& carOrientation,
                const D3DXVECTOR3& targetPosition, float steeringAngle, float speed) override;
    // Three quarters of a turn for 80, ending at angle 0.
    float gaugeAngle(float value) const override;
};
