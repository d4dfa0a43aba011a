#include "game/world/cameras/outside_camera.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/core/transform.h"
#include "engine/render/debug/debug_renderer.h"
#include "game/vehicle/car/vehicle.h"
#include "game/world/statics/statics_set.h"

namespace {

constexpr float kNearPlane = 1.0f;
constexpr float kLeastHorizontal = 1e-6f;
constexpr std::uint32_t kStatisticsColour = 0xFFF0A080;

float distance(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    const D3DXVECTOR3 d = a - b;
    return D3DXVec3Length(&d);
}

// The camera at eye looking at look. False, with the view left alone, when look lies
// (nearly) straight above or below the eye, where no heading can be taken.
bool lookAt(kesh::CameraView& view, const D3DXVECTOR3& eye, const D3DXVECTOR3& look) {
    D3DXVECTOR3 d = look - eye;
    const float length = D3DXVec3Length(&d);
    if (length > 0.0f) {
        d /= length;
    }
    D3DXVECTOR3 h(d.x, 0.0f, d.z);
    const float horizontal = D3DXVec3Length(&h);
    if (!(horizontal > kLeastHorizontal)) {
        return false;
    }
    h /= horizontal;
    // Signed, so the camera looks up at a car above it; asin of a clamped value cannot fail.
    const float pitch = std::asin(std::max(-1.0f, std::min(1.0f, -d.y)));
    D3DXMATRIX tilt;
    D3DXMatrixRotationYawPitchRoll(&tilt, 0.0f, pitch, 0.0f);
    const D3DXMATRIX heading(h.z, 0.0f, -h.x, 0.0f,   //
                             0.0f, 1.0f, 0.0f, 0.0f,  //
                             h.x, 0.0f, h.z, 0.0f,    //
                             0.0f, 0.0f, 0.0f, 1.0f);
    D3DXMATRIX camera = tilt * heading;
    camera._41 = eye.x;
    camera._42 = eye.y;
    camera._43 = eye.z;
    camera._44 = 1.0f;
    view.setTransform(camera);
    return true;
}

}  // namespace

void OutsideCamera::setView(kesh::CameraView* camera) {
    adoptView(camera, kNearPlane);
}

void OutsideCamera::update(float) {
    if (!view || !target) {
        return;
    }
    const D3DXVECTOR3 current(view->camera._41, view->camera._42, view->camera._43);
    D3DXVECTOR3 position, forward;
    target->position(position);
    target->orientation(forward);
    D3DXVECTOR3 unit = forward;
    const float forwardLength = D3DXVec3Length(&forward);
    if (forwardLength > 0.0f) {
        unit /= forwardLength;
    }
    const D3DXVECTOR3 look = position + unit * params.target_offset;
    // Tilted up about the horizontal axis across the heading; a heading straight up or down
    // has no such axis and stays untilted.
    const D3DXVECTOR3 axis(-forward.z, 0.0f, forward.x);
    D3DXVECTOR3 back = forward;
    if (D3DXVec3Length(&axis) > 0.0f) {
        kesh::rotateByQuaternion(&back, forward, kesh::makeRotationQuaternion(axis, -params.angle));
    }
    D3DXVECTOR3 eye = look - back * params.distance;
    if (statics) {
        const D3DXVECTOR3 desired = avoidObstacles(eye, look);
        eye = current * (1.0f - params.inertia) + desired * params.inertia;
        candidates.insert(candidates.end(), near.begin(), near.end());
    }
    lookAt(*view, eye, look);
    ++updates;
}

D3DXVECTOR3 OutsideCamera::avoidObstacles(const D3DXVECTOR3& desired, const D3DXVECTOR3& look) {
    statics->queryNear(kesh::BoundingBox(desired, look), near);
    near.erase(std::unique(near.begin(), near.end()), near.end());
    const car::params::SCar* car = target->params();
    const float minDist = car->length;
    const float footprint = car->length * car->width;
    const float reach = distance(desired, look);
    D3DXVECTOR3 best = desired;
    float bestDist = 0.0f;
    for (StaticInstance* instance : near) {
        if (!instance->collisionMesh) {
            continue;
        }
        const std::vector<kesh::OrientedBox>& boxes = instance->collisionMesh->obstacleBoxes;
        for (const kesh::OrientedBox& box : boxes) {
            const kesh::BoundingBox& local = box.localBox;
            // Small props standing alone do not push the camera.
            if (boxes.size() == 1 &&
                (local.max.x - local.min.x) * (local.max.z - local.min.z) < footprint) {
                continue;
            }
            const D3DXVECTOR3 hit = box.intersectsSegment(desired, look);
            if (reach < distance(desired, hit)) {
                continue;
            }
            const float fromLook = distance(look, hit);
            if (fromLook < minDist) {
                D3DXVECTOR3 away = look - hit;
                if (!(D3DXVec3Length(&away) > 0.0f)) {
                    away = look - desired;
                }
                D3DXVec3Normalize(&away, &away);
                best = look - away * minDist;
                bestDist = minDist;
            } else if (fromLook < bestDist || bestDist < minDist) {
                best = hit;
                bestDist = fromLook;
            }
        }
    }
    return bestDist >= minDist && bestDist < reach ? best : desired;
}

void OutsideCamera::debugDraw() {
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    kesh::DebugRenderer* renderer = kesh::theDebugRenderer;
    if (renderer) {
        renderer->addScreenText(L"Queried " + std::to_wstring(candidates.size()) + L" objects in " +
                                    std::to_wstring(updates) + L" updates.\n",
                                kStatisticsColour);
        for (StaticInstance* instance : candidates) {
            if (instance->collisionMesh) {
                instance->collisionMesh->debugDraw();
            }
        }
    }
    if (updates > 0) {
        candidates.clear();
        updates = 0;
    }
}
