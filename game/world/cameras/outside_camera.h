// The chase camera: behind and above the car, easing towards its ideal place, and pulled in
// front of statics that would hide the car.
#pragma once

#include <vector>

#include "game/world/cameras/car_camera.h"

class StaticInstance;
class StaticsSet;

class OutsideCamera : public CarCamera {
public:
    void setView(kesh::CameraView* camera) override;
    void update(float step) override;
    // The statistics of the statics tested since the last call, and their collision boxes.
    void debugDraw() override;
    void setParams(const car::params::SCamera& params) override { this->params = params; }
    // Not owned; without statics the eye jumps to its place every step.
    virtual void setStatics(StaticsSet* set) { statics = set; }

    StaticsSet* statics = nullptr;
    car::params::SCamera params;
    std::vector<StaticInstance*> candidates;
    int updates = 0;

private:
    // The eye moved to the nearest obstacle between desired and look when one hides it.
    D3DXVECTOR3 avoidObstacles(const D3DXVECTOR3& desired, const D3DXVECTOR3& look);

    std::vector<StaticInstance*> near;
};
