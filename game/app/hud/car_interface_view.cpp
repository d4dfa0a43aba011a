#include "game/app/hud/car_interface_view.h"

#include <d3dx9.h>
#include <win32/crt.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "engine/core/log.h"
#include "engine/render/effect/effect_cache.h"
#include "engine/render/log_lines.h"
#include "engine/render/mesh/mesh_draw.h"
#include "engine/render/mesh/mesh_loaders.h"
#include "game/data/level_file.h"

namespace {

constexpr float kNearest = 10.0f;
constexpr float kFarthest = 2000.0f;
// 36 / 2 pi: one locator per 10 degrees.
constexpr float kLocatorsPerRadian = 5.729578f;
// Ten degrees either way, for rand() over 0..32767.
constexpr float kRandScale = 3.051851e-05f;
constexpr float kBearingError = 0.34906587f;

D3DXMATRIX withUnitDiagonal(const D3DXMATRIX& transform) {
    D3DXMATRIX m = transform;
    m._11 = 1.0f;
    m._22 = 1.0f;
    m._33 = 1.0f;
    return m;
}

D3DXVECTOR3 flatDirection(const D3DXVECTOR3& v) {
    D3DXVECTOR3 flat(v.x, 0.0f, v.z);
    D3DXVec3Normalize(&flat, &flat);
    return flat;
}

}  // namespace

CarInterfaceView::CarInterfaceView(const std::wstring& levelFile, const std::string& meshEffectName,
                                   const std::string& interfaceEffectName, kesh::CameraView* camera,
                                   kesh::PerfTimer* timer, AudioSystem* audio)
    : timer(timer),
      // Two seconds ago, so that the first frame refreshes the radar.
      lastUpdate(timer->now.QuadPart - 2 * timer->freq.QuadPart),
      camera(camera),
      audio(audio),
      meshEffect(meshEffectName),
      interfaceEffect(interfaceEffectName) {
    D3DXMatrixIdentity(&placement);
    D3DXMatrixIdentity(&scale);
    if (levelFile.empty()) {
        return;
    }
    auto read = std::make_unique<kesh::data::LevelData>();
    kesh::data::readLevelFileAt(levelFile, *read);
    levelData = std::move(read);
    partMeshes.reserve(levelData->statics.size());
    for (const kesh::data::StaticObject& part : levelData->statics) {
        partMeshes.emplace_back(part.mesh + ".wfm");
    }
}

CarInterfaceView::~CarInterfaceView() = default;

void CarInterfaceView::drawPartAt(std::size_t part, const D3DXMATRIX& world,
                                  bool useInterfaceEffect) {
    const kesh::MeshInfo* info = kesh::theMeshInfoCache->fetch(partMeshes[part]);
    ID3DXEffect* effect =
        kesh::theEffectCache->fetch(useInterfaceEffect ? interfaceEffect : meshEffect);
    // The camera's view is left out: the instruments stay in front of the eye.
    kesh::drawMeshInfo(*info, effect, world * scale * placement, camera->projection);
}

void CarInterfaceView::drawPart(std::size_t part, bool useInterfaceEffect) {
    drawPartAt(part, levelData->statics[part].transform, useInterfaceEffect);
}

void CarInterfaceView::drawSteeringWheel(std::size_t part, float angle) {
    const D3DXVECTOR3 axis(0.0f, 0.0f, -1.0f);
    D3DXMATRIX rotation;
    D3DXMatrixRotationAxis(&rotation, &axis, angle);
    drawPartAt(part, rotation * levelData->statics[part].transform, false);
}

void CarInterfaceView::drawNeedle(std::size_t part, float value, bool useInterfaceEffect) {
    const D3DXVECTOR3 axis(0.0f, 0.0f, 1.0f);
    D3DXMATRIX rotation;
    D3DXMatrixRotationAxis(&rotation, &axis, gaugeAngle(value));
    drawPartAt(part, rotation * levelData->statics[part].transform, useInterfaceEffect);
}

void CarInterfaceView::drawDirectionIndicator(const D3DXMATRIX& where) {
    for (std::size_t i = 0; i < levelData->statics.size(); ++i) {
        if (levelData->statics[i].mesh == "direction_indicator") {
            drawPartAt(i, where, true);
        }
    }
}

const kesh::data::EffectObject* CarInterfaceView::findLocator(int number) const {
    char name[32];
    std::snprintf(name, sizeof name, "locator%d", number);
    for (const kesh::data::EffectObject& locator : levelData->effects) {
        if (locator.name == name) {
            return &locator;
        }
    }
    return nullptr;
}

void CarInterfaceView::drawRadar(const D3DXVECTOR3& carPosition,
                                 const D3DXQUATERNION& carOrientation,
                                 const D3DXVECTOR3& targetPosition) {
    const float signal = signalStrength(carPosition, targetPosition);
    const int level = signalLevel(signal);
    kesh::writeLine(boost::log::logScreen(), "signal: ", signal, ", levelI: ", level);
    const float bearing = updateDirection(carPosition, carOrientation, targetPosition);
    if (level >= 1) {
        if (const kesh::data::EffectObject* mark = findLocator(bearingLocator(bearing))) {
            drawDirectionIndicator(withUnitDiagonal(mark->transform));
        }
    }
    std::array<D3DXMATRIX, kBarCells> cells;
    std::size_t count = 0;
    for (int i = 0; i < level; ++i) {
        if (const kesh::data::EffectObject* cell = findLocator(kFirstBarLocator + i)) {
            cells[count++] = withUnitDiagonal(cell->transform);
        }
    }
    for (std::size_t i = 0; i < levelData->statics.size(); ++i) {
        if (levelData->statics[i].mesh == "distance_indicator") {
            for (std::size_t c = 0; c < count; ++c) {
                drawPartAt(i, cells[c], true);
            }
            return;
        }
    }
}

float CarInterfaceView::signalStrength(const D3DXVECTOR3& carPosition,
                                       const D3DXVECTOR3& targetPosition) const {
    const D3DXVECTOR3 between = targetPosition - carPosition;
    const float distance = std::clamp(D3DXVec3Length(&between), kNearest, kFarthest);
    const float signal = std::log10(distance - 9.0f) / std::log10(kFarthest);
    kesh::writeLine(boost::log::logScreen(), "len: ", distance, ", l: ", signal);
    return signal;
}

int CarInterfaceView::signalLevel(float signal) {
    const float level = static_cast<float>(kBarCells) - std::ceil(signal * kBarCells);
    return std::clamp(static_cast<int>(level), 0, kBarCells);
}

int CarInterfaceView::bearingLocator(float bearing) {
    // In float the bearings just under 2 pi round up to 37, the signal bar's first cell.
    return std::min(static_cast<int>(bearing * kLocatorsPerRadian + 1.0f), kBearingLocators);
}

float CarInterfaceView::wrapBearing(float bearing) {
    bearing = std::fmod(bearing, kTwoPi);
    if (bearing < 0.0f) {
        bearing += kTwoPi;
    }
    // A tiny negative value rounds up to 2 pi itself when it is added.
    return bearing < kTwoPi ? bearing : 0.0f;
}

bool CarInterfaceView::refreshDue() const {
    const double elapsed = static_cast<double>(timer->now.QuadPart - lastUpdate) /
                           static_cast<double>(timer->freq.QuadPart);
    return elapsed >= kRefreshSeconds;
}

float CarInterfaceView::updateDirection(const D3DXVECTOR3& carPosition,
                                        const D3DXQUATERNION& carOrientation,
                                        const D3DXVECTOR3& targetPosition) {
    if (!refreshDue()) {
        return direction;
    }
    const D3DXVECTOR3 toTarget = flatDirection(targetPosition - carPosition);
    D3DXMATRIX rotation;
    D3DXMatrixRotationQuaternion(&rotation, &carOrientation);
    const D3DXVECTOR3 ahead(0.0f, 0.0f, 1.0f);
    D3DXVECTOR3 forward;
    D3DXVec3TransformCoord(&forward, &ahead, &rotation);
    forward = flatDirection(forward);

    lastUpdate = timer->now.QuadPart;
    const float bearing = std::fmod(
        std::atan2(forward.x, forward.z) + kTwoPi - std::atan2(toTarget.x, toTarget.z), kTwoPi);
    const float error = (static_cast<float>(msvcrt_rand()) * kRandScale - 0.5f) * kBearingError;
    // Wrapped after the error is added: outside [0, 2 pi) the bearing would name "locator0"
    // (no mark) or "locator37", the signal bar's first cell.
    direction = wrapBearing(bearing + error);
    return direction;
}
