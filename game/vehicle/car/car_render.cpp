// What the car draws: the lamps' pools and light effects, and its debug view.
#include <cmath>
#include <sstream>

#include "engine/render/debug/debug_renderer.h"
#include "engine/render/quad/decaler.h"
#include "engine/render/visual_effects/effect_component.h"
#include "game/vehicle/car/car.h"

namespace {

constexpr std::uint32_t kLampColour = 0x60FFFFFF;
constexpr float kLampSize = 5.0f;
constexpr std::uint32_t kTextColour = 0xFFF0A080;
constexpr std::uint32_t kShapeColour = 0xFFA040A0;
// Solid, depth-tested.
constexpr std::uint32_t kShapeFlags = 2;
constexpr int kBarCells = 10;

const kesh::ResourceId& lampTexture() {
    static const kesh::ResourceId texture("effects/lamp_decal.dds");
    return texture;
}

D3DXVECTOR3 rotated(const kesh::Transform& t, const D3DXVECTOR3& v) {
    D3DXVECTOR3 out;
    t.rotateVector(&out, &v);
    return out;
}

// The scale that stretches a mesh's extent to the wanted size; 1 on an axis without extent.
float stretch(float wanted, float extent) {
    return extent > 0.0f ? wanted / extent : 1.0f;
}

void writeBar(std::wostringstream& text, float measure, float sum) {
    text << L"[";
    for (int k = 0; k < kBarCells; ++k) {
        text << (static_cast<float>(k) < std::fabs(10.0f * measure) ? L"X" : L"-");
    }
    text << L"] " << sum << L"\n";
}

}  // namespace

void CCar::render() {
    showLamps(true);
    const D3DXVECTOR3 forward = rotated(transform, D3DXVECTOR3(0.0f, 0.0f, 1.0f));
    const float angle = std::atan2(forward.x, forward.z);
    if (decaler != nullptr) {
        for (float s : {1.0f, -1.0f}) {
            const D3DXVECTOR3 at =
                transform.position + rotated(transform, D3DXVECTOR3(s * 0.7f, 0.0f, 7.0f));
            decaler->addDecal(lampTexture(), &at, angle, kLampColour, kLampSize);
        }
    }

    D3DXMATRIX scaling, tilt, turn;
    D3DXMatrixScaling(&scaling, 2.0f, 2.0f, 1.5f);
    D3DXMatrixRotationX(&tilt, static_cast<float>(D3DX_PI) / 8.0f);
    D3DXMatrixRotationQuaternion(&turn, &transform.rotation);
    D3DXMATRIX shape = scaling * tilt * turn;
    const float sides[2] = {1.0f, -1.0f};
    for (int i = 0; i < 2; ++i) {
        if (!lampEffects[i]) {
            continue;
        }
        const float s = sides[i];
        const D3DXVECTOR3 at = transform.position +
                               rotated(transform, D3DXVECTOR3(s * 0.32f * carParams.width, 0.0f,
                                                              0.35f * carParams.length)) +
                               D3DXVECTOR3(0.0f, 0.8f, 0.0f);
        D3DXMATRIX world = shape;
        world._41 = at.x;
        world._42 = at.y;
        world._43 = at.z;
        lampEffects[i]->setMatrix(kesh::effect::kWorldMatrix, world);
    }
}

void CCar::drawDebugText(const kesh::CameraView& camera) {
    kesh::Transform scaled = transform;
    if (bodyMesh) {
        const D3DXVECTOR3 extent = bodyMesh->bounds.max - bodyMesh->bounds.min;
        scaled.scale =
            D3DXVECTOR3(stretch(carParams.width, extent.x), stretch(carParams.height, extent.y),
                        stretch(carParams.length, extent.z));
    }
    D3DXMATRIX world;
    scaled.toMatrix(&world);
    for (const std::unique_ptr<CWheel>& w : wheels) {
        w->drawDebug(camera, world);
    }
    if (bodyMesh) {
        bodyMesh->render(camera, nullptr, &world);
    }
    if (antennaMesh) {
        antennaMesh->render(camera, nullptr, &world);
    }
    debugDraw(kShapeFlags, kShapeColour);

    if (kesh::theDebugRenderer == nullptr) {
        return;
    }
    std::wostringstream where;
    where << L"Car @ " << transform.position.x << L" : " << transform.position.z;
    kesh::theDebugRenderer->addScreenText(where.str(), kTextColour);
    std::wostringstream bars;
    writeBar(bars, yawMeasure, lateralSum);
    writeBar(bars, averageSlip, slipSum);
    kesh::theDebugRenderer->addScreenText(bars.str(), kTextColour);
}
