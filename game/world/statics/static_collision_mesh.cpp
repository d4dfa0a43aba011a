#include "game/world/statics/static_collision_mesh.h"

#include <cmath>
#include <stdexcept>

#include "engine/render/debug/debug_renderer.h"
#include "engine/render/mesh/mesh_loaders.h"

namespace {

constexpr std::uint32_t kCollisionColour = 0xFFA02020;
constexpr std::uint32_t kCollisionFlags = 3;

// The box inside g when g is a geometry transform holding one, g itself when it is a box.
dGeomID boxOf(dGeomID g) {
    if (dGeomGetClass(g) == ode_compat::geomTransformClass) {
        g = ode_compat::geomTransformGetGeom(g);
    }
    return g && dGeomGetClass(g) == ode_compat::boxClass ? g : nullptr;
}

D3DXVECTOR3 offsetOf(dGeomID outer, dGeomID box) {
    if (outer == box) {
        return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    }
    const dReal* p = dGeomGetPosition(box);
    return D3DXVECTOR3(static_cast<float>(p[0]), static_cast<float>(p[1]),
                       static_cast<float>(p[2]));
}

D3DXVECTOR3 lengthsOf(dGeomID box) {
    dVector3 lengths;
    dGeomBoxGetLengths(box, lengths);
    return D3DXVECTOR3(static_cast<float>(lengths[0]), static_cast<float>(lengths[1]),
                       static_cast<float>(lengths[2]));
}

bool finiteVector(const D3DXVECTOR3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

StaticCollisionMesh::StaticCollisionMesh(const std::string& meshName, const kesh::Transform& t)
    : StaticCollisionMesh(*kesh::theMeshInfoCache->fetch(meshName), meshName, t) {}

StaticCollisionMesh::StaticCollisionMesh(const kesh::MeshInfo& info, const std::string& meshName,
                                         const kesh::Transform& t) {
    ode_compat::initialise();
    const std::size_t count = info.boxCount();
    // With several part boxes the first one bounds the whole static; the others are its
    // solid parts.
    for (std::size_t i = count > 1 ? 1 : 0; i < count; ++i) {
        const kesh::BoundingBox& box = *info.box(i);
        const D3DXVECTOR3 size = box.max - box.min;
        // A negative scale is a mirror: the box keeps its size and goes to the other side.
        const D3DXVECTOR3 sides(size.x * std::fabs(t.scale.x), size.y * std::fabs(t.scale.y),
                                size.z * std::fabs(t.scale.z));
        // The mesh builder turned the part boxes' z round but drew the mesh as the file gives
        // it: turned back, the box goes where the static is drawn.
        kesh::Transform placement;
        placement.position = D3DXVECTOR3((box.min.x + box.max.x) * 0.5f * t.scale.x,
                                         (box.min.y + box.max.y) * 0.5f * t.scale.y,
                                         -((box.min.z + box.max.z) * 0.5f * t.scale.z));
        // ODE aborts the process on a side below zero or NaN, and an endless box collides as
        // nonsense: such a file fails to load instead. A flat box (a sheet) is sound.
        if (!(sides.x >= 0.0f && sides.y >= 0.0f && sides.z >= 0.0f) || !finiteVector(sides) ||
            !finiteVector(placement.position)) {
            throw std::runtime_error("Mesh " + meshName + ": part box " + std::to_string(i) +
                                     " has a side that is not finite");
        }
        addTransformedGeom(dCreateBox(nullptr, sides.x, sides.y, sides.z), placement);
    }
    setTransform(t);
}

void StaticCollisionMesh::setTransform(const kesh::Transform& t) {
    obstacleBoxes.clear();
    kesh::Transform unscaled = t;
    unscaled.scale = D3DXVECTOR3(1.0f, 1.0f, 1.0f);
    D3DXMATRIX world;
    unscaled.toMatrix(&world);
    const dQuaternion q = {t.rotation.w, t.rotation.x, t.rotation.y, t.rotation.z};
    for (dGeomID g : geoms) {
        dGeomSetPosition(g, t.position.x, t.position.y, t.position.z);
        dGeomSetQuaternion(g, q);
        const dGeomID box = boxOf(g);
        if (!box) {
            continue;
        }
        const D3DXVECTOR3 offset = offsetOf(g, box);
        const D3DXVECTOR3 half = lengthsOf(box) * 0.5f;
        obstacleBoxes.emplace_back(offset - half, offset + half, world);
    }
}

void StaticCollisionMesh::debugDraw() const {
    kesh::DebugRenderer* renderer = kesh::theDebugRenderer;
    if (!renderer) {
        return;
    }
    for (dGeomID g : geoms) {
        const dGeomID box = boxOf(g);
        if (!box) {
            continue;
        }
        const D3DXVECTOR3 lengths = lengthsOf(box);
        const D3DXVECTOR3 offset = offsetOf(g, box);
        dQuaternion q;
        dGeomGetQuaternion(g, q);
        const D3DXQUATERNION rotation(static_cast<float>(q[1]), static_cast<float>(q[2]),
                                      static_cast<float>(q[3]), static_cast<float>(q[0]));
        const dReal* p = dGeomGetPosition(g);
        D3DXMATRIX scaling, inner, turn, place;
        D3DXMatrixScaling(&scaling, lengths.x, lengths.y, lengths.z);
        D3DXMatrixTranslation(&inner, offset.x, offset.y, offset.z);
        D3DXMatrixRotationQuaternion(&turn, &rotation);
        D3DXMatrixTranslation(&place, static_cast<float>(p[0]), static_cast<float>(p[1]),
                              static_cast<float>(p[2]));
        const D3DXMATRIX world = scaling * inner * turn * place;
        renderer->addBox(&world, kCollisionColour, kCollisionFlags);
    }
}
