// A vehicle the world tests place and turn by hand: no body, no wheels, its state set
// directly. It counts the level's calls and hands out the decal requests queued on it.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "engine/core/transform.h"
#include "game/vehicle/car/vehicle.h"
#include "game/vehicle/controller/vehicle_controller.h"

namespace world_testing {

// The rotation of D3DX's yaw-pitch-roll matrix.
inline D3DXQUATERNION turned(float yaw, float pitch = 0.0f) {
    D3DXMATRIX m;
    D3DXMatrixRotationYawPitchRoll(&m, yaw, pitch, 0.0f);
    return kesh::Transform(m).rotation;
}

class FakeVehicle : public CVehicle {
public:
    FakeVehicle() {
        carParams.width = 2.0f;
        carParams.length = 4.0f;
    }

    void setTransform(const kesh::Transform& t) override { placed.rotation = t.rotation; }
    void getTransform(kesh::Transform& t) override {
        t.rotation = placed.rotation;
        t.scale = D3DXVECTOR3(1.0f, 1.0f, 1.0f);
    }
    void update(float) override { ++updates; }
    void drawDebugText(const kesh::CameraView&) override { ++debugTexts; }
    void render() override { ++renders; }
    void place(const kesh::Transform& t) override { placed = t; }
    kesh::Transform* placement() override { return &placed; }
    void setGround(PhysicsSpace* space, float height) override {
        groundSpace = space;
        groundHeight = height;
    }
    bool isStable() const override { return stable; }
    void velocity(D3DXVECTOR3& out) const override { out = D3DXVECTOR3(0.0f, 0.0f, 0.0f); }
    void orientation(D3DXVECTOR3& out) const override {
        kesh::rotateByQuaternion(&out, D3DXVECTOR3(0.0f, 0.0f, 1.0f), placed.rotation);
    }
    void position(D3DXVECTOR3& out) const override { out = placed.position; }
    std::int32_t wheelCount() const override { return 0; }
    CWheel* wheel(std::int32_t) override { return nullptr; }
    void applyConfig(const std::wstring&, const std::wstring&) override {}
    car::params::SCar* params() override { return &carParams; }
    DecalRequest* nextDecalRequest() override {
        if (requests.empty()) {
            return nullptr;
        }
        handedOut = requests.front();
        requests.pop_front();
        return &handedOut;
    }
    void setAttachment(float) override {}
    void applyDebugForce(std::int32_t) override {}
    bool isSkidding() const override { return false; }
    D3DXVECTOR3& responseVector() override { return response; }

    // Heading yaw radians about +y, at p.
    void put(const D3DXVECTOR3& p, float yaw = 0.0f) {
        placed.position = p;
        placed.rotation = turned(yaw);
    }

    kesh::Transform placed;
    car::params::SCar carParams;
    bool stable = true;
    int updates = 0;
    int renders = 0;
    int debugTexts = 0;
    PhysicsSpace* groundSpace = nullptr;
    float groundHeight = -1.0f;
    std::deque<DecalRequest> requests;
    DecalRequest handedOut;
    D3DXVECTOR3 response{0.0f, 0.0f, 0.0f};
};

class FakeController : public CVehicleController {
public:
    void setVehicle(CVehicle* v) override { driven = v; }
    void setInput(InputSystem*) override {}
    void setParams(const car::params::SCarController&) override {}
    CVehicle* vehicle() override { return driven; }
    const CVehicle* vehicle() const override { return driven; }
    float engineSpeed() const override { return 0.0f; }
    float steering() const override { return 0.0f; }
    float wheelResponse() const override { return 0.0f; }
    float attachment() const override { return 1.0f; }
    void step(float) override { ++steps; }

    CVehicle* driven = nullptr;
    int steps = 0;
};

}  // namespace world_testing
