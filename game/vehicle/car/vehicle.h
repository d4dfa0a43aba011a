// The level's view of a vehicle: one ODE body that the level updates, collides and draws
// every fixed step, and that the controller drives through its wheels.
#pragma once

#include <d3dx9math.h>

#include <cstdint>
#include <string>

#include "engine/core/transform.h"
#include "game/vehicle/car/decal_request.h"
#include "game/vehicle/car/wheel.h"
#include "game/vehicle/params/car_params.h"
#include "game/vehicle/physics/physics_body.h"

class PhysicsSpace;

namespace kesh {
class CameraView;
}

class CVehicle : public PhysicsBody {
public:
    // One fixed step: wheels stepped, their forces put on the body, skids and crashes heard.
    virtual void update(float dt) = 0;
    virtual void drawDebugText(const kesh::CameraView& camera) = 0;
    // The lamps: their decals and light effects.
    virtual void render() = 0;
    // Moves the body to t's position and rotation.
    virtual void place(const kesh::Transform& t) = 0;
    // Position and rotation as of the last update or place.
    virtual kesh::Transform* placement() = 0;
    // The level's ground space and ground plane height, handed on to the wheels.
    virtual void setGround(PhysicsSpace* space, float height) = 0;
    // Close to upright.
    virtual bool isStable() const = 0;
    virtual void velocity(D3DXVECTOR3& out) const = 0;
    // The forward direction, world frame.
    virtual void orientation(D3DXVECTOR3& out) const = 0;
    virtual void position(D3DXVECTOR3& out) const = 0;
    virtual std::int32_t wheelCount() const = 0;
    // i in 0..wheelCount() - 1, unchecked.
    virtual CWheel* wheel(std::int32_t i) = 0;
    // Runs the car script (a name for the script host) and builds body, shapes, meshes and
    // wheels from it; the object bundle is read below artRoot (with its trailing separator).
    virtual void applyConfig(const std::wstring& artRoot, const std::wstring& script) = 0;
    virtual car::params::SCar* params() = 0;
    // The next mark to lay, or null; ask until null, a bounded number of times per frame.
    // The request stays the vehicle's; copy it before asking again.
    virtual DecalRequest* nextDecalRequest() = 0;
    // Grip of the horizontal wheel forces, clamped to 0..1.
    virtual void setAttachment(float a) = 0;
    virtual void applyDebugForce(std::int32_t mode) = 0;
    virtual bool isSkidding() const = 0;
    // The body's force summed over the updates since the level last zeroed it.
    virtual D3DXVECTOR3& responseVector() = 0;
};
