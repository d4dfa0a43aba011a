// The player's car: one ODE body, shaped as a box between two capped cylinders, carried by
// four ray wheels that push on it at their mount points. Configured from the car script; its
// meshes come from the object bundle the script names.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/render/mesh/mesh.h"
#include "engine/render/visual_effects/effect_handle.h"
#include "game/vehicle/car/tracks.h"
#include "game/vehicle/car/vehicle.h"

class AudioSystem;

namespace kesh {
class Decaler;
namespace data {
struct LevelData;
}
}  // namespace kesh

class CCar : public CVehicle {
public:
    // The car's geoms go into space; its wheel rays into a space of its own on the same
    // world. decaler and audio may be null (no lamp decals, silence) and are not owned.
    // Runs applyConfig(artRoot, script): script errors and a result that is no Car,
    // bad sizes (std::runtime_error) and bundle stream errors propagate.
    CCar(PhysicsSpace* space, kesh::Decaler* decaler, AudioSystem* audio,
         const std::wstring& artRoot, const std::wstring& script);
    ~CCar() override;

    void update(float dt) override;
    void drawDebugText(const kesh::CameraView& camera) override;
    void render() override;
    void place(const kesh::Transform& t) override;
    kesh::Transform* placement() override { return &transform; }
    void setGround(PhysicsSpace* space, float height) override;
    bool isStable() const override;
    void velocity(D3DXVECTOR3& out) const override;
    void orientation(D3DXVECTOR3& out) const override;
    void position(D3DXVECTOR3& out) const override;
    std::int32_t wheelCount() const override;
    CWheel* wheel(std::int32_t i) override { return wheels[static_cast<std::size_t>(i)].get(); }
    void applyConfig(const std::wstring& artRoot, const std::wstring& script) override;
    car::params::SCar* params() override { return &carParams; }
    DecalRequest* nextDecalRequest() override;
    void setAttachment(float a) override;
    void applyDebugForce(std::int32_t mode) override;
    bool isSkidding() const override;
    D3DXVECTOR3& responseVector() override { return response; }

    // The body's torque as an update leaves it: three quarters of it, each axis within 25.
    static D3DXVECTOR3 limitedTorque(const D3DXVECTOR3& torque);

private:
    friend struct CarProbe;

    void buildShapes();
    void makeWheels();
    void configureWheels(const kesh::data::LevelData& bundle);
    void setMasses();
    void showLamps(bool shown);
    void layTracks();

    D3DXVECTOR3 response;
    std::unique_ptr<kesh::Mesh> bodyMesh;     // null when the bundle has no such object
    std::unique_ptr<kesh::Mesh> antennaMesh;  // likewise
    kesh::Transform transform;
    car::params::SCar carParams;
    PhysicsSpace* groundSpace;
    // Before the wheels, so that it goes after them: destroying a space destroys the geoms
    // still in it, and the wheels would destroy their rays a second time.
    std::unique_ptr<PhysicsSpace> wheelSpace;
    std::vector<std::unique_ptr<CWheel>> wheels;  // 0 and 1 the front pair
    std::vector<D3DXVECTOR3> mounts;
    float groundHeight;
    float yawMeasure;
    float lateralSum;
    float averageSlip;
    float slipSum;
    float attachment;
    kesh::Decaler* decaler;
    kesh::effect::EffectHandle lampEffects[2];
    std::unique_ptr<Tracks> tracks;
    AudioSystem* audio;
};
