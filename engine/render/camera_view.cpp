#include "engine/render/camera_view.h"

#include <cmath>

namespace kesh {

CameraView::CameraView() {
    D3DXMatrixIdentity(&camera);
    setProjection(D3DX_PI / 2.0f, 1.3f, 1.0f, 1000.0f);
}

void CameraView::setProjection(float newFov, float newAspect, float newNear, float newFar) {
    D3DXMatrixPerspectiveFovLH(&projection, newFov, newAspect, newNear, newFar);
    fov = newFov;
    aspect = newAspect;
    nearPlane = newNear;
    farPlane = newFar;
    invProjX = 1.0f / projection._11;
    invProjY = 1.0f / projection._22;
    update();
}

void CameraView::setClipPlanes(float newNear, float newFar) {
    setProjection(fov, aspect, newNear, newFar);
}

void CameraView::setFov(float newFov) {
    setProjection(newFov, aspect, nearPlane, farPlane);
}

void CameraView::setPosition(const D3DXVECTOR3& position) {
    camera._41 = position.x;
    camera._42 = position.y;
    camera._43 = position.z;
    update();
}

void CameraView::setTransform(const D3DXMATRIX& transform) {
    camera = transform;
    update();
}

void CameraView::update() {
    D3DXMatrixInverse(&view, nullptr, &camera);
    D3DXMatrixMultiply(&viewProjection, &view, &projection);
}

void computeFrustumPlanes(const CameraView& view, Frustum& out, bool normalise) {
    const D3DXMATRIX& m = view.viewProjection;
    auto column = [&m](int c) { return D3DXPLANE(m.m[0][c], m.m[1][c], m.m[2][c], m.m[3][c]); };
    auto add = [](const D3DXPLANE& p, const D3DXPLANE& q, float sign) {
        return D3DXPLANE(p.a + sign * q.a, p.b + sign * q.b, p.c + sign * q.c, p.d + sign * q.d);
    };
    const D3DXPLANE c1 = column(0), c2 = column(1), c3 = column(2), c4 = column(3);
    out.planes[Frustum::Left] = add(c4, c1, 1.0f);
    out.planes[Frustum::Right] = add(c4, c1, -1.0f);
    out.planes[Frustum::Top] = add(c4, c2, -1.0f);
    out.planes[Frustum::Bottom] = add(c4, c2, 1.0f);
    out.planes[Frustum::Near] = c3;
    out.planes[Frustum::Far] = add(c4, c3, -1.0f);
    if (!normalise) {
        return;
    }
    for (D3DXPLANE& p : out.planes) {
        const float length = std::sqrt(p.a * p.a + p.b * p.b + p.c * p.c);
        if (length > 0.0f) {
            p = D3DXPLANE(p.a / length, p.b / length, p.c / length, p.d / length);
        }
    }
}

D3DXVECTOR3 transformVector(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &v, &m);
    return out;
}

CameraDrag::CameraDrag(CameraView* dragTarget, const int position[2], int dragMode)
    : target(dragTarget),
      start(dragTarget != nullptr ? *dragTarget : CameraView()),
      startX(position != nullptr ? position[0] : 0),
      startY(position != nullptr ? position[1] : 0),
      mode(dragMode) {}

void CameraDrag::update(int x, int y) {
    if (target == nullptr) {
        return;
    }
    const float dx = static_cast<float>(x - startX) * 0.05f;
    const float dy = static_cast<float>(y - startY) * 0.05f;
    if (mode == 0) {
        D3DXMATRIX rotation;
        D3DXMatrixRotationYawPitchRoll(&rotation, dx * 0.05f, dy * 0.05f, 0.0f);
        D3DXMATRIX turned;
        D3DXMatrixMultiply(&turned, &rotation, &start.camera);
        target->setTransform(turned);
        return;
    }
    D3DXVECTOR3 v;
    if (mode == 1) {
        v = D3DXVECTOR3(-dx, dy, 0.0f);
    } else if (mode == 2) {
        v = D3DXVECTOR3(0.0f, 0.0f, dx + dy);
    } else {
        return;
    }
    D3DXMATRIX axes = target->camera;
    axes._41 = axes._42 = axes._43 = 0.0f;
    const D3DXVECTOR3 moved = transformVector(v, axes);
    const D3DXVECTOR3 from(start.camera._41, start.camera._42, start.camera._43);
    target->setPosition(D3DXVECTOR3(from.x + moved.x, from.y + moved.y, from.z + moved.z));
}

}  // namespace kesh
