// The car's wheel: no body, one ODE ray as its suspension probe. The ray lives in the car's
// wheel space and is collided against the level's ground space.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/render/mesh/mesh.h"
#include "game/vehicle/car/wheel.h"
#include "game/vehicle/physics/physics_object.h"

class CRayWheel : public CWheel, public PhysicsObject {
public:
    CRayWheel();
    ~CRayWheel() override;

    void configure(const car::params::SBasicWheelSetup& setup,
                   const D3DXMATRIX& meshPlacement) override;
    void setGround(PhysicsSpace* groundSpace, float groundHeight) override;
    void setSteering(float s) override;
    void addSteering(float delta) override;
    void setDrive(float value) override { drive = value; }
    float steeringValue() const override { return steeringAngle * setup.turn_freedom; }
    void updateRay(const kesh::Transform& t) override;
    kesh::Transform* transform() override { return &mount; }
    void step(D3DXVECTOR3 pointVelocity, D3DXVECTOR3 angularVelocity, float dt) override;
    void drawDebug(const kesh::CameraView& camera, const D3DXMATRIX& carWorld) override;
    bool hasContact() override;
    float slip() const override { return slipValue; }
    D3DXVECTOR3& force(D3DXVECTOR3& out) const override;
    D3DXVECTOR3& response(D3DXVECTOR3& out) const override;
    float lateralTarget(float speed, float yawRate, float dt) override;
    // The farther the wheel's speed is from the drive, the more the target stays with the
    // wheel's own speed (up to 70 percent): the wheel grips less.
    float longitudinalTarget(float forwardSpeed, float dt) override;
    float verticalTarget(float verticalSpeed, float dt) override;
    void beginContactStep(D3DXVECTOR3 localVelocity, float dt) override;

    car::params::SBasicWheelSetup setup;
    kesh::Transform mount;  // mount point (world position) and the car's rotation
    float drive;
    float steeringAngle;         // radians
    D3DXVECTOR3 velocityChange;  // of the last step, car frame
    D3DXVECTOR3 responseValue;   // of the last step, steered wheel frame
    bool contactFlag;            // shown by drawDebug; nothing sets the three flags
    bool sideSkid;
    bool frontSkid;
    std::int32_t contactSteps;
    std::int32_t steps;
    float slipValue;  // drive minus the longitudinal target of the last contact step
    float spin;       // rolling angle, radians
    float groundHeight;
    std::unique_ptr<kesh::Mesh> mesh;  // null when the setup names no object
    PhysicsSpace* groundSpace;

private:
    // The turns about y by -steeringAngle and by steeringAngle, kept while the angle stays
    // the same: every step would work out the same two rotations again.
    void turnsFor(float angle);
    float turnAngle = 0.0f;
    bool turnKnown = false;
    D3DXQUATERNION turnBack;
    D3DXQUATERNION turnOn;
};
