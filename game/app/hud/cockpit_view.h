// The instruments seen from the driver's seat: the panel, a steering wheel that turns with
// the steering, the speedometer's needle and the radar, with a beep at each radar refresh.
#pragma once

#include "game/app/hud/car_interface_view.h"

class CockpitView : public CarInterfaceView {
public:
    CockpitView(const std::wstring& levelFile, const std::string& meshEffect,
                const std::string& interfaceEffect, kesh::CameraView* camera,
                kesh::PerfTimer* timer, AudioSystem* audio);

    void render(const D3DXVECTOR3& carPosition, const D3DXQUATERNION& carOrientation,
                const D3DXVECTOR3& targetPosition, float steeringAngle, float speed) override;
    // Half a turn for 80, ending at angle 0.
    float gaugeAngle(float value) const override;
};
