#include "game/world/cameras/car_camera.h"

namespace {

constexpr float kFieldOfView = 0.9424778f;  // 0.3 pi

}  // namespace

void CarCamera::adoptView(kesh::CameraView* camera, float nearPlane) {
    view = camera;
    if (view) {
        view->setProjection(kFieldOfView, view->aspect, nearPlane, view->farPlane);
    }
}
