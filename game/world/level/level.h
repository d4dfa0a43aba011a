// The playable world of one run: the physics world with the statics and the ground, the
// cells that bring the level's effects into view, the car with its controller and the
// camera that follows it. The level steps the simulation at 90 Hz, decides when the run is
// lost and draws the level in a fixed order.
#pragma once

#include <d3dx9math.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/core/resource.h"
#include "engine/render/camera_view.h"
#include "engine/render/device/dx_device.h"
#include "game/data/level_data.h"
#include "game/vehicle/car/vehicle.h"
#include "game/vehicle/controller/vehicle_controller.h"
#include "game/vehicle/params/physics_params.h"
#include "game/vehicle/physics/ground_plane.h"
#include "game/vehicle/physics/physics_space.h"
#include "game/vehicle/physics/physics_world.h"
#include "game/world/cameras/car_camera.h"
#include "game/world/cells/level_cell_grid.h"
#include "game/world/level/frame_time.h"
#include "game/world/level/level_params.h"
#include "game/world/level/timed_decal.h"
#include "game/world/statics/statics_set.h"

class AudioSystem;
class InputSystem;

namespace kesh {
class Decaler;
}

class Level {
public:
    static constexpr float kStep = 1.0f / 90.0f;
    static constexpr int kMaxSteps = 10;
    static constexpr double kMostUnstableTime = 10.0;

    // Builds the whole level from params: the collision surfaces, the statics, the cells and
    // effects of the level file, the ground and the car. A level file that cannot be read is
    // logged and the level built from what was read; any other failure throws, among them a
    // static's placement that is not finite, and a solid static's or a start locator's that
    // cannot be straightened for the physics (see placement.h). input,
    // decaler and audio are not owned (each may be null) and must outlive the level.
    Level(kesh::DxDevice* device, const kesh::CameraView& camera, InputSystem* input,
          kesh::Decaler* decaler, AudioSystem* audio, const LevelParams& params);
    ~Level();
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    // One frame: as many fixed steps as the time owed allows (at most ten), then the loss
    // rules.
    void update(const FrameTime& t);
    // Draws target marker, statics, decals, effects and the car with camera.
    void render(const kesh::CameraView& camera, const FrameTime& t);
    void switchCamera(bool inside);
    // Replaces car and controller with what the params' car maker makes and puts the car at a
    // start point.
    void createCar(InputSystem* input, kesh::Decaler* decaler);

    void getCarPosition(D3DXVECTOR3& out) const;
    void getCarOrientation(D3DXQUATERNION& out) const;
    void getTargetPosition(D3DXVECTOR3& out) const;
    float getEnginePower() const;
    float getGaugeValue() const;
    StaticsSet* getStatics() const { return statics.get(); }
    bool isLost() const { return lost; }
    // Whether the run has somewhere to start and somewhere to get to: the level file was
    // read whole and paired a start locator with an end locator. What the level was built
    // from otherwise is no run to play.
    bool playable() const { return readFailure.empty() && startFound; }
    // Why the level cannot be played, for the player; empty when it can.
    std::string whyUnplayable() const;
    kesh::CameraView& view() { return cameraView; }

private:
    friend struct LevelProbe;

    CVehicle* vehicle() const { return controller ? controller->vehicle() : nullptr; }
    void loadPhysicsParams();
    void loadLevelFile();
    void placeEffects();
    void writeReadout(const D3DXVECTOR3& impulse, float attachment, int contacts, int steps);
    void collectDecals(const FrameTime& t);
    void drawDecals(const kesh::CameraView& camera, const FrameTime& t);
    void drawTargetMarker(const kesh::CameraView& camera);

    LevelParams params;
    // The level file's name as the screen log shows it, narrowed once.
    std::string levelName;
    kesh::DxDevice* device;
    kesh::CameraView cameraView;
    PhysicsWorld world;
    std::unique_ptr<PhysicsSpace> levelSpace;
    // Before everything with geoms in it, so that a constructor that throws half-way still
    // destroys the car before its space.
    std::unique_ptr<PhysicsSpace> carSpace;
    std::unique_ptr<GroundPlane> groundPlane;
    std::unique_ptr<LevelCellGrid> cellGrid;
    physics::params::SCollisions collisions;
    std::unique_ptr<kesh::data::LevelData> levelData;
    std::unique_ptr<StaticsSet> statics;
    std::unique_ptr<CarCamera> camera;
    std::vector<std::unique_ptr<CVehicle>> sceneObjects;
    std::unique_ptr<CVehicleController> controller;
    double accumulator;
    bool outsideCamera;
    bool lost;
    D3DXMATRIX target;
    bool startFound = false;
    // The level file's read error, empty when the file was read whole.
    std::string readFailure;
    // The time of the last update in which the car was stable, on the run's clock.
    double lastStableTime;
    std::vector<TimedDecal> timedDecals;
    AudioSystem* audio;
    kesh::Decaler* decaler;

    StaticsVisibleSet visible;
};
