// The driver's view: at a fixed height, looking level along the car's heading.
#pragma once

#include "game/world/cameras/car_camera.h"

class InsideCamera : public CarCamera {
public:
    static constexpr float kEyeHeight = 2.0f;

    void setView(kesh::CameraView* camera) override;
    // Keeps the previous view while the car points (nearly) straight up or down.
    void update(float step) override;
    void debugDraw() override {}
    void setParams(const car::params::SCamera& params) override { this->params = params; }

    car::params::SCamera params;
};
