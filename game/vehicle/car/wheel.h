// A wheel as the car and the controller see it: told where its mount point is and how fast
// it moves, it works out the velocity change it wants there; the car turns that into a force
// on its one body.
#pragma once

#include <d3dx9math.h>

#include "engine/core/transform.h"
#include "game/vehicle/params/car_params.h"

class PhysicsSpace;

namespace kesh {
class CameraView;
}

class CWheel {
public:
    virtual ~CWheel() = default;

    // Takes the setup's numbers and mesh (placed at meshPlacement in the car's frame) and
    // makes the suspension ray anew.
    virtual void configure(const car::params::SBasicWheelSetup& setup,
                           const D3DXMATRIX& meshPlacement) = 0;
    // The space the ray is collided against and the height of the level's ground plane.
    virtual void setGround(PhysicsSpace* groundSpace, float groundHeight) = 0;
    // s in -1..1 (clamped) of the full steering angle.
    virtual void setSteering(float s) = 0;
    virtual void addSteering(float delta) = 0;
    // Target rolling speed.
    virtual void setDrive(float drive) = 0;
    virtual float steeringValue() const = 0;
    // Mount point (position, world) and the car's orientation (rotation); casts the ray down.
    virtual void updateRay(const kesh::Transform& t) = 0;
    virtual kesh::Transform* transform() = 0;
    // One fixed step: pointVelocity is the mount point's world velocity.
    virtual void step(D3DXVECTOR3 pointVelocity, D3DXVECTOR3 angularVelocity, float dt) = 0;
    // Draws the mesh with its spin and steering inside carWorld, and one text line.
    virtual void drawDebug(const kesh::CameraView& camera, const D3DXMATRIX& carWorld) = 0;
    // True without a ground space; else whether the ray touches the ground now.
    virtual bool hasContact() = 0;
    virtual float slip() const = 0;
    // The velocity change of the last step, car frame.
    virtual D3DXVECTOR3& force(D3DXVECTOR3& out) const = 0;
    // The velocity change of the last step in the steered wheel frame: sideways part, and the
    // forward part only when it slows the wheel.
    virtual D3DXVECTOR3& response(D3DXVECTOR3& out) const = 0;
    virtual float lateralTarget(float speed, float yawRate, float dt) = 0;
    virtual float longitudinalTarget(float forwardSpeed, float dt) = 0;
    virtual float verticalTarget(float verticalSpeed, float dt) = 0;
    virtual void beginContactStep(D3DXVECTOR3 localVelocity, float dt) = 0;
};
