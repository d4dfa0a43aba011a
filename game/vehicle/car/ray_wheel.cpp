#include "game/vehicle/car/ray_wheel.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "engine/render/debug/debug_renderer.h"
#include "game/vehicle/physics/physics_space.h"
#include "game/vehicle/physics/physics_world.h"

namespace {

constexpr float kSpinPerDrive = 0.9420001f;
constexpr float kGripLoss = 0.025f;
constexpr float kMaxGripLoss = 0.7f;
constexpr float kRayReach = 1.1f;
constexpr std::uint32_t kTextColour = 0xFFF0A080;

const D3DXVECTOR3 kUp(0.0f, 1.0f, 0.0f);

D3DXVECTOR3 turned(const D3DXVECTOR3& v, const D3DXQUATERNION& turn) {
    D3DXVECTOR3 out;
    kesh::rotateByQuaternion(&out, v, turn);
    return out;
}

}  // namespace

CRayWheel::CRayWheel()
    : drive(0.0f),
      steeringAngle(0.0f),
      velocityChange(0.0f, 0.0f, 0.0f),
      responseValue(0.0f, 0.0f, 0.0f),
      contactFlag(false),
      sideSkid(false),
      frontSkid(false),
      contactSteps(0),
      steps(0),
      slipValue(0.0f),
      spin(0.0f),
      groundHeight(0.0f),
      groundSpace(nullptr) {}

CRayWheel::~CRayWheel() = default;

void CRayWheel::configure(const car::params::SBasicWheelSetup& wheelSetup,
                          const D3DXMATRIX& meshPlacement) {
    setup = wheelSetup;
    destroyGeoms();
    addGeom(dCreateRay(nullptr, setup.suspension_height * kRayReach));
    mesh.reset();
    if (!setup.mesh.object.empty()) {
        mesh = std::make_unique<kesh::Mesh>(setup.mesh.object, setup.mesh.effect);
        mesh->world = meshPlacement;
    }
}

void CRayWheel::setGround(PhysicsSpace* ground, float height) {
    groundSpace = ground;
    groundHeight = height;
}

void CRayWheel::setSteering(float s) {
    // A value that is no number would poison every later step through the wheel's force.
    const float input = std::isfinite(s) ? std::clamp(s, -1.0f, 1.0f) : 0.0f;
    steeringAngle = input * setup.turn_freedom;
}

void CRayWheel::addSteering(float delta) {
    // A wheel that does not steer has no steering value to add to (and none to divide by).
    const float current = setup.turn_freedom != 0.0f ? steeringAngle / setup.turn_freedom : 0.0f;
    setSteering(current + delta);
}

void CRayWheel::updateRay(const kesh::Transform& t) {
    mount = t;
    if (!geoms.empty()) {
        dGeomRaySet(geoms.front(), t.position.x, t.position.y, t.position.z, 0.0, -1.0, 0.0);
    }
}

void CRayWheel::turnsFor(float angle) {
    // The sign of a zero counts: the turns by +0 and -0 differ in the sign of their zeros.
    if (turnKnown && angle == turnAngle && std::signbit(angle) == std::signbit(turnAngle)) {
        return;
    }
    turnBack = kesh::makeRotationQuaternion(kUp, -angle);
    turnOn = kesh::makeRotationQuaternion(kUp, angle);
    turnAngle = angle;
    turnKnown = true;
}

void CRayWheel::step(D3DXVECTOR3 pointVelocity, D3DXVECTOR3 angularVelocity, float dt) {
    spin += dt * drive * kSpinPerDrive;
    turnsFor(steeringAngle);

    const D3DXQUATERNION carToWorld = mount.rotation;
    const D3DXQUATERNION worldToCar(-carToWorld.x, -carToWorld.y, -carToWorld.z, carToWorld.w);
    D3DXVECTOR3 v;
    kesh::rotateByQuaternion(&v, pointVelocity, worldToCar);
    const D3DXVECTOR3 w = turned(v, turnBack);

    D3DXVECTOR3 target = w;
    if (hasContact()) {
        beginContactStep(w, dt);
        target.z = longitudinalTarget(w.z, dt);
        target.y = verticalTarget(w.y, dt);
        target.x = lateralTarget(w.z, angularVelocity.y, dt);
    }
    if (groundHeight + setup.suspension_height > mount.position.y) {
        const float lift = groundHeight - mount.position.y + setup.suspension_height;
        target.y = std::max(target.y, lift);
    }

    const D3DXVECTOR3 d = target - w;
    responseValue = D3DXVECTOR3(d.x, 0.0f, std::min(d.z, 0.0f));
    velocityChange = turned(d, turnOn);

    ++steps;
    if (contactFlag) {
        ++contactSteps;
    }
}

bool CRayWheel::hasContact() {
    if (groundSpace == nullptr) {
        return true;
    }
    PhysicsWorld* world = space != nullptr ? space->world : groundSpace->world;
    world->gatherContacts(*this, *groundSpace);
    return world->contactsGathered() > 0;
}

D3DXVECTOR3& CRayWheel::force(D3DXVECTOR3& out) const {
    out = velocityChange;
    return out;
}

D3DXVECTOR3& CRayWheel::response(D3DXVECTOR3& out) const {
    out = responseValue;
    return out;
}

float CRayWheel::lateralTarget(float, float, float) {
    return 0.0f;
}

float CRayWheel::longitudinalTarget(float forwardSpeed, float) {
    const float k = std::clamp(std::fabs(forwardSpeed - drive) * kGripLoss, 0.0f, kMaxGripLoss);
    const float result = (1.0f - k) * drive + k * forwardSpeed;
    slipValue = drive - result;
    return result;
}

float CRayWheel::verticalTarget(float verticalSpeed, float) {
    return verticalSpeed;
}

void CRayWheel::beginContactStep(D3DXVECTOR3, float) {}

void CRayWheel::drawDebug(const kesh::CameraView& camera, const D3DXMATRIX& carWorld) {
    D3DXQUATERNION rolled, steered, local;
    const D3DXVECTOR3 axisX(1.0f, 0.0f, 0.0f);
    D3DXQuaternionRotationAxis(&rolled, &axisX, spin);
    D3DXQuaternionRotationAxis(&steered, &kUp, steeringAngle);
    D3DXQuaternionMultiply(&local, &rolled, &steered);
    D3DXMATRIX localMatrix;
    D3DXMatrixRotationQuaternion(&localMatrix, &local);
    if (mesh) {
        mesh->render(camera, &localMatrix, &carWorld);
    }

    if (kesh::theDebugRenderer != nullptr) {
        std::wostringstream text;
        text << (std::fabs(setup.turn_freedom) > 0.001f ? L"front" : L"back") << L" wheel "
             << (sideSkid ? L"[s-skid]" : L"[------]") << (frontSkid ? L"[f-skid]" : L"[------]")
             << (hasContact() ? L"[contact]" : L"[-------]") << L" : " << contactSteps << L" | "
             << static_cast<int>(slipValue) << L" @ " << static_cast<int>(mount.position.y);
        kesh::theDebugRenderer->addScreenText(text.str(), kTextColour);
    }
    contactSteps = 0;
    steps = 0;
}
