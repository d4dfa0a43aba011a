#include "game/world/statics/statics_set.h"

#include <algorithm>
#include <sstream>

#include "engine/core/transform.h"
#include "engine/render/debug/debug_renderer.h"
#include "engine/render/effect/effect_cache.h"
#include "engine/render/mesh/mesh_loaders.h"
#include "engine/render/texture/texture_loader.h"

namespace {

constexpr std::uint32_t kSphereColour = 0x802040D0;
constexpr std::uint32_t kSphereFlags = 7;
constexpr std::uint32_t kLabelColour = 0xFF909090;
constexpr float kLargestDebugSphere = 10.0f;

kesh::BoundingBox zeroBox() {
    const D3DXVECTOR3 zero(0.0f, 0.0f, 0.0f);
    return kesh::BoundingBox(zero, zero);
}

}  // namespace

StaticsSet::StaticsSet(kesh::DxDevice* device, const std::string& effectName, PhysicsWorld& world)
    : device(device), effectName(effectName), space(world), ground(0.0f), box(zeroBox()) {}

StaticsSet::~StaticsSet() {
    queryGrid.reset();
    // ODE finds a geom it takes out of a quadtree block by walking the block's list from the
    // geom that joined it last, and the tree holds the statics' boxes newest first. Taken out
    // newest first, each is found at once; oldest first, ending a level of many solid statics
    // takes a time that grows with their square.
    while (!instances.empty()) {
        instances.pop_back();
    }
}

void StaticsSet::addStatic(std::uint32_t id, std::uint32_t drawMask, const D3DXMATRIX& world,
                           const std::string& lightmapName, const std::string& meshName,
                           bool solid) {
    const kesh::MeshInfo* info = kesh::theMeshInfoCache->fetch(meshName);
    kesh::theTextureCache->fetch(lightmapName);
    for (const std::string& texture : info->textureNames) {
        if (!texture.empty()) {
            kesh::theTextureCache->fetch(texture);
        }
    }
    instances.push_back(std::make_unique<StaticInstance>(device, id, drawMask, lightmapName,
                                                         meshName, world, solid));
    StaticInstance& added = *instances.back();
    if (added.collisionMesh) {
        added.collisionMesh->setSpace(&space);
    }
}

void StaticsSet::finishBounds() {
    box = zeroBox();
    ground = 0.0f;
    std::vector<kesh::BoundingBox> worldBoxes;
    worldBoxes.reserve(instances.size());
    for (const auto& instance : instances) {
        const kesh::BoundingBox worldBox = instance->box.worldBounds();
        if (worldBoxes.empty()) {
            box = worldBox;
            ground = worldBox.max.y;
        } else {
            box.merge(worldBox);
            ground = std::min(ground, worldBox.max.y);
        }
        worldBoxes.push_back(worldBox);
    }
    space.makeQuadTree();
    // The tree keeps every box added in a list of moved geoms until something collides in
    // it, and ODE looks each geom it takes out up in that list: ending a level that never
    // stepped would take a time that grows with the square of its boxes. The statics never
    // move, so their places are settled once here.
    if (space.id) {
        dSpaceClean(space.id);
    }
    queryGrid = std::make_unique<StaticsGrid>(box);
    for (std::size_t i = 0; i < instances.size(); ++i) {
        queryGrid->insert(instances[i].get(), worldBoxes[i]);
    }
}

void StaticsSet::cull(StaticsVisibleSet& out, const kesh::CameraView& camera) const {
    out.camera = camera;
    out.statics.clear();
    kesh::Frustum frustum;
    kesh::computeFrustumPlanes(camera, frustum, true);
    for (const auto& instance : instances) {
        if (kesh::sphereInFrustum(frustum.planes, instance->centre, instance->radius)) {
            out.statics.push_back(instance.get());
        }
    }
}

void StaticsSet::draw(const StaticsVisibleSet& set, std::uint32_t mask) const {
    for (StaticInstance* instance : set.statics) {
        if ((instance->drawMask & mask) == 0) {
            continue;
        }
        ID3DXEffect* effect = kesh::theEffectCache->fetch(effectName);
        instance->meshInstance->render(effect, set.camera,
                                       kesh::theTextureCache->fetch(instance->lightmapName));
    }
}

void StaticsSet::queryNear(const kesh::BoundingBox& near, std::vector<StaticInstance*>& out) const {
    out.clear();
    if (!queryGrid) {
        return;
    }
    const StaticsGrid::CellRange range = queryGrid->overlapped(near);
    for (int ix = range.x0; ix <= range.x1; ++ix) {
        for (int iz = range.z0; iz <= range.z1; ++iz) {
            const std::vector<StaticInstance*>& found = queryGrid->cell(ix, iz).statics;
            out.insert(out.end(), found.begin(), found.end());
        }
    }
}

void StaticsSet::debugDraw(const kesh::CameraView& camera, bool spheres, bool labels,
                           std::uint32_t mask) {
    kesh::DebugRenderer* renderer = kesh::theDebugRenderer;
    if (!renderer) {
        return;
    }
    cull(debugSet, camera);
    for (StaticInstance* instance : debugSet.statics) {
        if ((instance->drawMask & mask) == 0) {
            continue;
        }
        if (spheres && instance->radius < kLargestDebugSphere) {
            renderer->addSphere(&instance->centre, instance->radius, kSphereColour, kSphereFlags);
        }
        if (labels) {
            const kesh::Transform placed(instance->meshInstance->world);
            std::wostringstream text;
            text << L"m: " << kesh::toWide(instance->meshName.id) << L" " << L"l: "
                 << kesh::toWide(instance->lightmapName.id) << L" " << L"s: "
                 << D3DXVec3Length(&placed.scale);
            renderer->addWorldText(text.str(), &instance->centre, kLabelColour);
        }
    }
}
