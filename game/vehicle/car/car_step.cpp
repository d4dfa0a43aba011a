// The car's fixed step: wheels stepped at their mount points, their velocity changes put on
// the body as forces, skids and crashes measured and heard, skid marks laid.
#include <algorithm>
#include <cmath>

#include "engine/render/visual_effects/effect_component.h"
#include "game/audio/audio_system.h"
#include "game/vehicle/car/car.h"

namespace {

constexpr float kMaxTorque = 25.0f;
constexpr float kTorqueShare = 0.75f;
constexpr float kCrashImpulse = 3.0f;
constexpr float kQuarterTurn = static_cast<float>(D3DX_PI) * 0.25f;

D3DXVECTOR3 vectorOf(const dReal* v) {
    return D3DXVECTOR3(static_cast<float>(v[0]), static_cast<float>(v[1]),
                       static_cast<float>(v[2]));
}

bool finite(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

D3DXVECTOR3 CCar::limitedTorque(const D3DXVECTOR3& torque) {
    const auto limit = [](float t) {
        return std::clamp(t * kTorqueShare, -kMaxTorque, kMaxTorque);
    };
    return D3DXVECTOR3(limit(torque.x), limit(torque.y), limit(torque.z));
}

void CCar::showLamps(bool shown) {
    for (kesh::effect::EffectHandle& lamp : lampEffects) {
        if (lamp) {
            lamp->setInt(kesh::effect::kHidden, shown ? 0 : 1);
        }
    }
}

void CCar::update(float dt) {
    showLamps(false);

    const D3DXQUATERNION& r = transform.rotation;
    const D3DXQUATERNION worldToCar(-r.x, -r.y, -r.z, r.w);
    dVector3 bodyVelocity;
    dBodyGetRelPointVel(body, 0.0, 0.0, 0.0, bodyVelocity);
    D3DXVECTOR3 v;
    kesh::rotateByQuaternion(&v, vectorOf(bodyVelocity), worldToCar);
    const D3DXVECTOR3 w = vectorOf(dBodyGetAngularVel(body));

    for (std::size_t i = 0; i < wheels.size(); ++i) {
        const D3DXVECTOR3& m = mounts[i];
        dVector3 pointVelocity;
        dBodyGetRelPointVel(body, m.x, 0.0, m.z, pointVelocity);
        dVector3 pointPosition;
        dBodyGetRelPointPos(body, m.x, 0.0, m.z, pointPosition);
        kesh::Transform mount;
        mount.rotation = transform.rotation;
        mount.position = vectorOf(pointPosition);
        wheels[i]->updateRay(mount);
        wheels[i]->step(vectorOf(pointVelocity), w, dt);
    }

    yawMeasure = 0.0f;
    lateralSum = 0.0f;
    averageSlip = 0.0f;
    slipSum = 0.0f;
    const float kf = 1.0f / (4.0f * dt);
    const float mo = carParams.mass_ode;
    const float y = std::min(2.0f * std::fabs(w.y), 7.0f) / 7.0f;
    for (std::size_t i = 0; i < wheels.size(); ++i) {
        const D3DXVECTOR3& m = mounts[i];
        D3DXVECTOR3 f;
        wheels[i]->force(f);
        dBodyAddRelForceAtRelPos(body, f.x * mo * kf * attachment, f.y * mo * kf,
                                 f.z * mo * kf * attachment, m.x, 0.0, m.z);
        yawMeasure += y;
        const float lateral = -0.25f * (w.y >= 0.0f ? 1.0f : -1.0f) * v.z * y;
        lateralSum += lateral;
        dBodyAddRelForceAtRelPos(body, lateral * mo / dt * attachment, 0.0, 0.0, 0.0, 0.0, 0.0);
        averageSlip += wheels[i]->slip();
        slipSum += wheels[i]->slip();
    }
    yawMeasure *= 0.25f;
    averageSlip *= 0.25f;

    response += vectorOf(dBodyGetForce(body));

    const dReal* q = dBodyGetQuaternion(body);
    transform = kesh::Transform();
    transform.rotation = D3DXQUATERNION(static_cast<float>(q[1]), static_cast<float>(q[2]),
                                        static_cast<float>(q[3]), static_cast<float>(q[0]));
    transform.position = vectorOf(dBodyGetPosition(body));

    const D3DXVECTOR3 torque = limitedTorque(vectorOf(dBodyGetTorque(body)));
    dBodySetTorque(body, torque.x, torque.y, torque.z);

    layTracks();

    if (audio != nullptr && isSkidding()) {
        audio->playSound("tyreSlide");
    }
    float impulse[3];
    getCollisionImpulse(impulse);
    if (audio != nullptr && std::sqrt(impulse[0] * impulse[0] + impulse[1] * impulse[1] +
                                      impulse[2] * impulse[2]) > kCrashImpulse) {
        audio->playSound("buildingCrash");
    }
}

void CCar::layTracks() {
    if (!tracks) {
        return;
    }
    const bool skidding = isSkidding();
    const D3DXVECTOR3& p = transform.position;
    if (tracks->wasSkidding && !skidding) {
        tracks->newSegment = true;
    }
    if (tracks->newSegment) {
        tracks->mark->angle =
            std::atan2(p.x - tracks->lastPosition.x, p.z - tracks->lastPosition.z) - kQuarterTurn;
    }
    tracks->lastPosition = p;
    tracks->wasSkidding = skidding;
}

DecalRequest* CCar::nextDecalRequest() {
    if (!tracks || !tracks->wasSkidding) {
        return nullptr;
    }
    DecalRequest& mark = *tracks->mark;
    const float h = mark.size * 0.5f;
    // Without a step to take, or without a place to take it from, the trail would never end.
    if (!(h > 0.0f) || !finite(tracks->lastPosition) || !finite(mark.position)) {
        return nullptr;
    }
    if (tracks->newSegment) {
        mark.position = tracks->lastPosition;
        tracks->newSegment = false;
        return &mark;
    }
    const D3DXVECTOR3 d = tracks->lastPosition - mark.position;
    const float distance = D3DXVec3Length(&d);
    if (distance < h) {
        return nullptr;
    }
    mark.angle = std::atan2(d.x, d.z) - kQuarterTurn;
    const D3DXVECTOR3 next = mark.position + d * (h / distance);
    const D3DXVECTOR3 left = tracks->lastPosition - next;
    // Far from the origin half a mark can be less than the floats' spacing: a step that
    // gets no closer lays the last mark where the car is, so that the trail still ends.
    mark.position = D3DXVec3Length(&left) < distance ? next : tracks->lastPosition;
    return &mark;
}
