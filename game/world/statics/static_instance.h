// One placed static: its mesh with the lightmap it is drawn with, its box and bounding
// sphere in world space and, when solid, its collision boxes.
#pragma once

#include <d3dx9math.h>

#include <cstdint>
#include <memory>
#include <string>

#include "engine/core/oriented_box.h"
#include "engine/core/resource.h"
#include "engine/render/device/dx_device.h"
#include "engine/render/mesh/mesh_instance.h"
#include "game/world/statics/static_collision_mesh.h"

class StaticInstance {
public:
    // The mesh comes from the mesh-info cache (a failed fetch throws). A solid static gets
    // a collision mesh, not yet in any space; a world matrix that ODE cannot be given even
    // straightened throws then (see placement.h).
    StaticInstance(kesh::DxDevice* device, std::uint32_t id, std::uint32_t drawMask,
                   const std::string& lightmapName, const std::string& meshName,
                   const D3DXMATRIX& world, bool solid);
    StaticInstance(const StaticInstance&) = delete;
    StaticInstance& operator=(const StaticInstance&) = delete;

    // Moves the static, its sphere, its box and its collision boxes; throws as the
    // constructor does.
    void setTransform(const D3DXMATRIX& world);

    std::uint32_t id;
    std::uint32_t drawMask;  // 1 ordinary, 2 solid
    kesh::OrientedBox box;
    D3DXVECTOR3 localCentre;
    float localRadius;
    D3DXVECTOR3 centre;
    float radius;
    kesh::DxDevice* device;
    kesh::ResourceId lightmapName;
    kesh::ResourceId meshName;
    std::unique_ptr<kesh::MeshInstance> meshInstance;
    std::unique_ptr<StaticCollisionMesh> collisionMesh;  // null unless solid
};
