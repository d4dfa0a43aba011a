// The engine's camera record: the camera's world matrix, the view and projection derived
// from it and their product, and the frustum planes made from them. After every operation
// view = inverse(camera) and viewProjection = view x projection.
#pragma once

#include <d3dx9math.h>

#include <cstdint>

namespace kesh {

class CameraView {
public:
    // A 90-degree field of view, aspect 1.3, clip planes 1 and 1000, at the origin looking
    // down +z.
    CameraView();

    void setProjection(float fov, float aspect, float nearPlane, float farPlane);
    void setClipPlanes(float nearPlane, float farPlane);
    void setFov(float fov);
    void setPosition(const D3DXVECTOR3& position);
    void setTransform(const D3DXMATRIX& transform);

    D3DXMATRIX camera;  // rows 1-3: right, up, forward; row 4: position
    D3DXMATRIX view;
    D3DXMATRIX viewProjection;
    D3DXMATRIX projection;  // left-handed perspective
    float fov;              // vertical, radians
    float nearPlane;
    float farPlane;
    float aspect;    // width / height
    float invProjX;  // 1 / projection._11: screen positions to view-space rays
    float invProjY;  // 1 / projection._22

private:
    void update();
};

// Six planes with their normals pointing into the visible volume; a point p is inside a
// plane when a*x + b*y + c*z + d >= 0.
struct Frustum {
    enum Side { Left, Right, Top, Bottom, Near, Far, Count };
    D3DXPLANE planes[Count];
};

// With `normalise`, each plane is divided by the length of its normal.
void computeFrustumPlanes(const CameraView& view, Frustum& out, bool normalise);

// The game's main camera record.
struct CameraHolder {
    std::uint32_t reserved = 0;
    CameraView view;
};

// D3DXVec3TransformCoord by value (w divided out).
D3DXVECTOR3 transformVector(const D3DXVECTOR3& v, const D3DXMATRIX& m);

// Turns a mouse drag into a rotation (mode 0), a pan (1) or a move along the view axis (2)
// of a camera, relative to where the camera was when the drag began.
class CameraDrag {
public:
    // A null target makes a drag that does nothing until one is started.
    CameraDrag(CameraView* target, const int position[2], int mode);

    void update(int x, int y);
    void stop() { target = nullptr; }
    bool active() const { return target != nullptr; }

private:
    CameraView* target;
    CameraView start;
    int startX;
    int startY;
    int mode;
};

}  // namespace kesh
