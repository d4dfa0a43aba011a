#include "game/app/hud/cockpit_view.h"

#include <cmath>

#include "game/audio/audio_system.h"

CockpitView::CockpitView(const std::wstring& levelFile, const std::string& meshEffect,
                         const std::string& interfaceEffect, kesh::CameraView* camera,
                         kesh::PerfTimer* timer, AudioSystem* audio)
    : CarInterfaceView(levelFile, meshEffect, interfaceEffect, camera, timer, audio) {
    D3DXMatrixTranslation(&placement, -0.2f, -0.4f, 1.2f);
    D3DXMatrixScaling(&scale, 0.1f, 0.1f, 0.1f);
}

void CockpitView::render(const D3DXVECTOR3& carPosition, const D3DXQUATERNION& carOrientation,
                         const D3DXVECTOR3& targetPosition, float steeringAngle, float speed) {
    if (!levelData) {
        return;
    }
    // Tested before the radar moves the refresh on: the beep falls in the refreshing frames.
    if (refreshDue() && audio != nullptr) {
        static const std::string kBeep = "beep";
        audio->playSound(kBeep);
    }
    const std::vector<kesh::data::StaticObject>& statics = levelData->statics;
    for (std::size_t i = 0; i < statics.size(); ++i) {
        if (statics[i].mesh == "panel") {
            drawPart(i, false);
        } else if (statics[i].mesh == "wheel") {
            drawSteeringWheel(i, steeringAngle);
        } else if (statics[i].mesh == "arrow") {
            drawNeedle(i, speed, false);
        }
    }
    drawRadar(carPosition, carOrientation, targetPosition);
}

float CockpitView::gaugeAngle(float value) const {
    return std::fabs(value) * 0.03926991f - 3.1415927f;
}
