#include "game/world/statics/static_instance.h"

#include <algorithm>
#include <cmath>

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
    // The sphere must hold the mesh however the matrix stretches it: by no more than the
    // square root of the largest row sum of the rows' dot products, which is the longest
    // row's length when the rows stand at right angles (scaled and turned) and more when the
    // matrix is sheared.
    const D3DXVECTOR3* rows[3] = {reinterpret_cast<const D3DXVECTOR3*>(&world._11),
                                  reinterpret_cast<const D3DXVECTOR3*>(&world._21),
                                  reinterpret_cast<const D3DXVECTOR3*>(&world._31)};
    float stretch = 0.0f;
    for (const D3DXVECTOR3* row : rows) {
        float sum = 0.0f;
        for (const D3DXVECTOR3* other : rows) {
            sum += std::fabs(D3DXVec3Dot(row, other));
        }
        stretch = std::max(stretch, sum);
    }
    radius = localRadius * std::sqrt(stretch);
    meshInstance->setTransform(world);
    if (collisionMesh) {
        collisionMesh->setTransform(collisionPlacement(id, world));
    }
    box.setWorld(world);
}
