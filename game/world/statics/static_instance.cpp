#include "game/world/statics/static_instance.h"

#include <algorithm>

#include "engine/core/transform.h"
#include "engine/render/mesh/mesh_loaders.h"
#include "game/data/placement.h"

namespace {

// The static is drawn, boxed and culled with the file's matrix; only its collision boxes
// (and the chase camera's obstacle boxes made from them) take the straightened placement.
kesh::Transform collisionPlacement(std::uint32_t id, const D3DXMATRIX& world) {
    return kesh::data::checkedPlacement(world, kesh::data::PlacementScale::Keep,
                                        "Static " + std::to_string(id));
}

}  // namespace

StaticInstance::StaticInstance(kesh::DxDevice* device, std::uint32_t id, std::uint32_t drawMask,
                               const std::string& lightmapName, const std::string& meshName,
                               const D3DXMATRIX& world, bool solid)
    : id(id),
      drawMask(drawMask),
      localCentre(0.0f, 0.0f, 0.0f),
      localRadius(0.0f),
      centre(0.0f, 0.0f, 0.0f),
      radius(0.0f),
      device(device),
      lightmapName(lightmapName),
      meshName(meshName) {
    kesh::MeshInfo* info = kesh::theMeshInfoCache->fetch(this->meshName);
    meshInstance = std::make_unique<kesh::MeshInstance>(info);
    const kesh::BoundingBox local =
        info->boxCount() == 0 ? info->computeBoundingBox() : *info->box(0);
    box = kesh::OrientedBox(local.min, local.max, world);
    if (solid) {
        collisionMesh =
            std::make_unique<StaticCollisionMesh>(meshName, collisionPlacement(id, world));
    }
    const kesh::BoundingSphere sphere = info->computeBoundingSphere();
    localCentre = sphere.centre;
    localRadius = sphere.radius;
    setTransform(world);
}

void StaticInstance::setTransform(const D3DXMATRIX& world) {
    D3DXVec3TransformCoord(&centre, &localCentre, &world);
    // The sphere must hold the mesh however unevenly it is scaled, so the longest basis row
    // scales it.
    const float scale =
        std::max({D3DXVec3Length(reinterpret_cast<const D3DXVECTOR3*>(&world._11)),
                  D3DXVec3Length(reinterpret_cast<const D3DXVECTOR3*>(&world._21)),
                  D3DXVec3Length(reinterpret_cast<const D3DXVECTOR3*>(&world._31))});
    radius = localRadius * scale;
    meshInstance->setTransform(world);
    if (collisionMesh) {
        collisionMesh->setTransform(collisionPlacement(id, world));
    }
    box.setWorld(world);
}
