// The driver's instruments in one look: meshes placed by a ".slev" file (its statics name
// the instruments by their mesh, its effect locators "locator1".."locator52" the radar's
// positions), drawn in front of the eye with the camera's projection alone, and the radar
// that points to the target and shows the signal's strength.
#pragma once

#include <d3dx9math.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/perf_timer.h"
#include "engine/core/resource/resource_id.h"
#include "engine/render/camera_view.h"
#include "game/data/level_data.h"

class AudioSystem;

class CarInterfaceView {
public:
    static constexpr float kTwoPi = 6.2831855f;
    static constexpr double kRefreshSeconds = 2.0;
    static constexpr int kBarCells = 16;
    static constexpr int kFirstBarLocator = 37;
    static constexpr int kBearingLocators = 36;

    virtual ~CarInterfaceView();
    CarInterfaceView(const CarInterfaceView&) = delete;
    CarInterfaceView& operator=(const CarInterfaceView&) = delete;

    // Inside the device's scene. Throws the caches' errors for parts whose mesh, effect or
    // texture cannot be fetched, and "Failed to render mesh".
    virtual void render(const D3DXVECTOR3& carPosition, const D3DXQUATERNION& carOrientation,
                        const D3DXVECTOR3& targetPosition, float steeringAngle, float speed) = 0;
    // Every part "direction_indicator" at where, with the interface effect.
    virtual void drawDirectionIndicator(const D3DXMATRIX& where);
    // The needle's angle in radians for a speed; the sign of the speed does not count.
    virtual float gaugeAngle(float value) const = 0;

    // 0 within 10 units of the target, rising with the logarithm of the distance to about
    // 0.9994 from 2000 units on.
    float signalStrength(const D3DXVECTOR3& carPosition, const D3DXVECTOR3& targetPosition) const;
    // The target's bearing from the car's heading in [0, 2 pi), refreshed with a random
    // error of up to 10 degrees either way when the last refresh is 2 seconds old.
    float updateDirection(const D3DXVECTOR3& carPosition, const D3DXQUATERNION& carOrientation,
                          const D3DXVECTOR3& targetPosition);
    // True when the next radar update refreshes the bearing.
    bool refreshDue() const;

    // The bar's cells for a signal: 16 - ceil(16 signal), within 0..16.
    static int signalLevel(float signal);
    // The number of the locator that marks a bearing of [0, 2 pi): one per 10 degrees, 1 to
    // 36.
    static int bearingLocator(float direction);
    // Into [0, 2 pi).
    static float wrapBearing(float direction);

    // Null when the view was made without a file.
    const kesh::data::LevelData* parts() const { return levelData.get(); }
    float lastDirection() const { return direction; }
    const D3DXMATRIX& placementMatrix() const { return placement; }
    const D3DXMATRIX& scaleMatrix() const { return scale; }

protected:
    // An empty file name gives a view without parts, which draws nothing. A file that
    // cannot be read throws its stream or version error.
    CarInterfaceView(const std::wstring& levelFile, const std::string& meshEffect,
                     const std::string& interfaceEffect, kesh::CameraView* camera,
                     kesh::PerfTimer* timer, AudioSystem* audio);

    // Parts are statics of the level data, by index.
    void drawPart(std::size_t part, bool useInterfaceEffect);
    void drawPartAt(std::size_t part, const D3DXMATRIX& world, bool useInterfaceEffect);
    void drawSteeringWheel(std::size_t part, float angle);
    void drawNeedle(std::size_t part, float value, bool useInterfaceEffect);
    void drawRadar(const D3DXVECTOR3& carPosition, const D3DXQUATERNION& carOrientation,
                   const D3DXVECTOR3& targetPosition);

    // The first effect locator named "locator" + number, or null.
    const kesh::data::EffectObject* findLocator(int number) const;

    kesh::PerfTimer* timer;
    std::int64_t lastUpdate;
    std::unique_ptr<kesh::data::LevelData> levelData;
    kesh::CameraView* camera;
    float direction = 0.0f;
    D3DXMATRIX placement;
    D3DXMATRIX scale;
    AudioSystem* audio;

private:
    kesh::ResourceId meshEffect;
    kesh::ResourceId interfaceEffect;
    // Each static's ".wfm" name, made once: the draws then build no strings.
    std::vector<kesh::ResourceId> partMeshes;
};
