#include "game/vehicle/physics/physics_body.h"

PhysicsBody::PhysicsBody() : body(nullptr) {
    dMassSetZero(&mass);
}

PhysicsBody::~PhysicsBody() {
    if (body) {
        dBodyDestroy(body);
    }
}

void PhysicsBody::setBody(dBodyID b) {
    if (b == body) {
        return;
    }
    if (body) {
        dBodyDestroy(body);
    }
    body = b;
}

void PhysicsBody::setTransform(const kesh::Transform& t) {
    if (!body) {
        return;
    }
    kesh::Transform rotationOnly = t;
    rotationOnly.position = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    D3DXMATRIX m;
    rotationOnly.toMatrix(&m);
    // The engine's row-vector matrix is the transpose of ODE's column-vector rotation.
    dMatrix3 r = {};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            r[row * 4 + col] = m.m[col][row];
        }
    }
    dBodySetRotation(body, r);
}

void PhysicsBody::getTransform(kesh::Transform& t) {
    if (!body) {
        return;
    }
    const dReal* r = dBodyGetRotation(body);
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            m.m[row][col] = static_cast<float>(r[col * 4 + row]);
        }
    }
    m._41 = t.position.x;
    m._42 = t.position.y;
    m._43 = t.position.z;
    t.assign(kesh::Transform(m));
}
