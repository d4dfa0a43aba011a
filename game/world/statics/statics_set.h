// All statics of a level: they are culled and drawn in two passes chosen by a mask, the
// solid ones collide in a space of their own, and a coarse grid answers which lie near a box.
// The set also gives the level its bounding box and the height of its ground.
#pragma once

#include <d3dx9math.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/bounding_box.h"
#include "engine/core/resource.h"
#include "engine/render/camera_view.h"
#include "engine/render/device/dx_device.h"
#include "game/vehicle/physics/physics_space.h"
#include "game/world/statics/static_instance.h"
#include "game/world/statics/statics_grid.h"
#include "game/world/statics/statics_visible_set.h"

class PhysicsWorld;

class StaticsSet {
public:
    // Every static is drawn with the effect of that name; the collision space is made on world,
    // which must outlive the set.
    StaticsSet(kesh::DxDevice* device, const std::string& effectName, PhysicsWorld& world);
    ~StaticsSet();
    StaticsSet(const StaticsSet&) = delete;
    StaticsSet& operator=(const StaticsSet&) = delete;

    // Loads the mesh, the lightmap and every texture of the mesh now, so that nothing is read
    // during play; a failed fetch throws. A solid static's boxes join the collision space.
    void addStatic(std::uint32_t id, std::uint32_t drawMask, const D3DXMATRIX& world,
                   const std::string& lightmapName, const std::string& meshName, bool solid);
    // The level's box, ground height and query grid over the statics added so far.
    void finishBounds();

    // The statics whose sphere is in the camera's view, in loading order.
    void cull(StaticsVisibleSet& out, const kesh::CameraView& camera) const;
    // The statics of set whose draw mask shares a bit with mask, with the set's camera.
    void draw(const StaticsVisibleSet& set, std::uint32_t mask) const;
    // Every static registered in the grid cells box overlaps, once per cell; nothing before
    // finishBounds.
    void queryNear(const kesh::BoundingBox& box, std::vector<StaticInstance*>& out) const;
    // Spheres (of statics smaller than 10) and labels of the visible statics of mask.
    void debugDraw(const kesh::CameraView& camera, bool spheres, bool labels, std::uint32_t mask);

    std::size_t size() const { return instances.size(); }
    const std::vector<std::unique_ptr<StaticInstance>>& statics() const { return instances; }
    const kesh::BoundingBox& bounds() const { return box; }
    // The lowest top of all statics; 0 until finishBounds and for a set without statics.
    float groundHeight() const { return ground; }
    PhysicsSpace& collisionSpace() { return space; }
    const StaticsGrid* grid() const { return queryGrid.get(); }

private:
    kesh::DxDevice* device;
    kesh::ResourceId effectName;
    // Declared before the statics: their collision meshes must go before the space.
    PhysicsSpace space;
    std::vector<std::unique_ptr<StaticInstance>> instances;
    float ground;
    kesh::BoundingBox box;
    std::unique_ptr<StaticsGrid> queryGrid;
    StaticsVisibleSet debugSet;
};
