// The driver's instrument overlay, drawn after the 3-D scene: the cockpit's look or the
// outside look, switched with the camera.
#pragma once

#include <d3dx9math.h>

#include <memory>
#include <string>

#include "engine/core/perf_timer.h"
#include "engine/render/camera_view.h"
#include "game/app/hud/car_interface_view.h"

class AudioSystem;

class CarInterface {
public:
    // Starts in the outside view. camera, timer and audio (which may be null) are not
    // owned. Throws when the outside view's file cannot be read.
    CarInterface(std::string meshEffect, std::string interfaceEffect,
                 const std::wstring& cockpitLevelFile, const std::wstring& outsideLevelFile,
                 kesh::CameraView* camera, kesh::PerfTimer* timer, AudioSystem* audio);

    // A new view over its file, which is read again. The new view is built before the old
    // one goes: when its file cannot be read, the error leaves and the old view stays.
    void setView(bool inside);
    // The steering angle in radians; the speed as the needle reads it.
    void render(const D3DXVECTOR3& carPosition, const D3DXQUATERNION& carOrientation,
                const D3DXVECTOR3& targetPosition, float steeringAngle, float speed);

    CarInterfaceView* currentView() const { return view.get(); }

private:
    std::unique_ptr<CarInterfaceView> view;
    kesh::PerfTimer* timer;
    std::wstring cockpitLevelFile;
    std::wstring outsideLevelFile;
    kesh::CameraView* camera;
    std::string meshEffect;
    std::string interfaceEffect;
    AudioSystem* audio;
};
