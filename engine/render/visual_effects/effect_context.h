// What the components of every live effect share while they draw: the frame's camera and
// frustum, the clock effects measure their age by, the quad batcher billboards go to, and
// the count of components drawn this frame by kind.
#pragma once

#include <cstdint>
#include <map>

#include "engine/core/perf_timer.h"
#include "engine/core/resource/resource_id.h"
#include "engine/render/camera_view.h"

namespace kesh {

class DxDevice;
class QuadBatcher;

// The kinds the visibility counts are kept by.
enum ComponentKind { kAnyComponent = 0, kPlainMeshComponent = 1, kBillboardComponent = 2 };

class EffectContext {
public:
    // A default camera, a started timer, no counts.
    EffectContext(DxDevice* device, QuadBatcher* batcher);

    // Once per frame before any component draws: moves the clock on, takes the camera and
    // its normalised frustum, and sets every count to 0.
    void beginFrame(const CameraView& view);
    // centre x, y, z and radius.
    bool sphereVisible(const float sphere[4]) const;
    void countVisible(int kind, std::uint32_t n);
    std::uint32_t totalVisible() const;
    // 0 for a kind nothing was counted for.
    std::uint32_t visibleOf(int kind) const;

    DxDevice* device;
    QuadBatcher* batcher;
    CameraView camera;
    Frustum frustum;
    // The effect file plain meshes are drawn with.
    ResourceId shaderName;
    PerfTimer timer;
    std::map<int, std::uint32_t> visible;
};

}  // namespace kesh
