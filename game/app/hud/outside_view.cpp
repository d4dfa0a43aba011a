#include "game/app/hud/outside_view.h"

#include <cmath>

OutsideView::OutsideView(const std::wstring& levelFile, const std::string& meshEffect,
                         const std::string& interfaceEffect, kesh::CameraView* camera,
                         kesh::PerfTimer* timer, AudioSystem* audio)
    : CarInterfaceView(levelFile, meshEffect, interfaceEffect, camera, timer, audio) {
    D3DXMatrixTranslation(&placement, 0.0f, 0.0f, 3.0f);
    D3DXMatrixScaling(&scale, 0.2857143f, 0.2857143f, 0.2857143f);
}

void OutsideView::render(const D3DXVECTOR3& carPosition, const D3DXQUATERNION& carOrientation,
                         const D3DXVECTOR3& targetPosition, float /*steeringAngle*/, float speed) {
    if (!levelData) {
        return;
    }
    const std::vector<kesh::data::StaticObject>& statics = levelData->statics;
    for (std::size_t i = 0; i < statics.size(); ++i) {
        if (statics[i].mesh == "onScreen_radar" || statics[i].mesh == "onScreen_speed") {
            drawPart(i, true);
        } else if (statics[i].mesh == "arrow") {
            drawNeedle(i, speed, true);
        }
    }
    drawRadar(carPosition, carOrientation, targetPosition);
}

float OutsideView::gaugeAngle(float value) const {
    return std::fabs(value) * 0.058904864f - 4.712389f;
}
