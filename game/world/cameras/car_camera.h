// A game camera: follows a vehicle and writes its place into the level's camera record once
// per fixed step.
#pragma once

#include "engine/render/camera_view.h"
#include "game/vehicle/params/car_params.h"

class CVehicle;

class CarCamera {
public:
    virtual ~CarCamera() = default;

    // Neither is owned; update does nothing until both are set.
    virtual void setTarget(CVehicle* vehicle) { target = vehicle; }
    virtual void setView(kesh::CameraView* camera) = 0;
    virtual void update(float step) = 0;
    virtual void debugDraw() = 0;
    virtual void setParams(const car::params::SCamera& params) = 0;

protected:
    // Keeps camera and gives it the game cameras' field of view with that near plane; the
    // aspect ratio and far plane stay the record's own.
    void adoptView(kesh::CameraView* camera, float nearPlane);

    kesh::CameraView* view = nullptr;
    CVehicle* target = nullptr;
};
