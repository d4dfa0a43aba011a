#include "game/world/cameras/inside_camera.h"

#include <cmath>

#include "engine/core/transform.h"
#include "game/vehicle/car/vehicle.h"

namespace {

constexpr float kNearPlane = 0.1f;
constexpr float kLeastHeading = 1e-4f;

}  // namespace

void InsideCamera::setView(kesh::CameraView* camera) {
    adoptView(camera, kNearPlane);
}

void InsideCamera::update(float) {
    if (!view || !target) {
        return;
    }
    D3DXVECTOR3 position;
    target->position(position);
    kesh::Transform placed;
    target->getTransform(placed);
    D3DXVECTOR3 forward;
    kesh::rotateByQuaternion(&forward, D3DXVECTOR3(0.0f, 0.0f, 1.0f), placed.rotation);
    // Eye and target share one height, so only the heading's horizontal part is seen.
    D3DXVECTOR3 d(forward.x, 0.0f, forward.z);
    const float length = D3DXVec3Length(&d);
    if (!(length > kLeastHeading)) {
        return;
    }
    d /= length;
    const D3DXVECTOR3 eye(position.x, kEyeHeight, position.z);
    D3DXMATRIX camera(d.z, d.y, -d.x, 0.0f,    //
                      0.0f, 1.0f, 0.0f, 0.0f,  //
                      d.x, d.y, d.z, 0.0f,     //
                      eye.x, eye.y, eye.z, 1.0f);
    view->setTransform(camera);
}
