// Everything the visual effects share: the library of descriptions read from the effect
// list, the live effects, and the context their components draw with. The play stage makes
// one per level load and publishes it as theEffectManager.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/render/camera_view.h"
#include "engine/render/visual_effects/effect_context.h"
#include "engine/render/visual_effects/effect_handle.h"
#include "engine/render/visual_effects/effect_instances.h"
#include "engine/render/visual_effects/effect_library.h"

namespace kesh {

class DxDevice;
class QuadBatcher;

class EffectManager {
public:
    // Billboards go to batcher; neither pointer is owned.
    EffectManager(DxDevice* device, QuadBatcher* batcher);
    ~EffectManager();
    EffectManager(const EffectManager&) = delete;
    EffectManager& operator=(const EffectManager&) = delete;

    // A new effect of the description of that name, or an empty handle (an unknown name, a
    // mesh that cannot be fetched). The caller places it with setMatrix(kWorldMatrix, ...).
    effect::EffectHandle createEffect(const std::string& name);

    // Once per frame: drops the effects whose last outside handle is gone, draws the others
    // that are not hidden, and writes the statistics line on "screen".
    void render(const CameraView& camera, std::uint32_t layer, std::uint32_t passMask);

    // Replaces the library with the effects listed in directory + listFile, each line a
    // name and an effect text file relative to directory. A failure is logged on "debug"
    // and ends the reading, keeping what was read; nothing reaches the caller.
    void readEffectList(const std::wstring& directory, const std::wstring& listFile);

    const EffectContext& getContext() const { return *context; }
    const EffectLibrary& getLibrary() const { return *library; }
    std::size_t liveEffects() const { return instances->size(); }

private:
    // Declared so that the live effects go first, before the context their components
    // point to.
    std::unique_ptr<EffectContext> context;
    std::unique_ptr<EffectLibrary> library;
    std::unique_ptr<EffectInstances> instances;
};

// The play stage's effect manager; null outside its lifetime. Publish it with kesh::publish,
// which destroys the one held before.
extern EffectManager* theEffectManager;

// theEffectManager's createEffect; an empty handle while there is no manager.
effect::EffectHandle createEffect(const std::string& name);

}  // namespace kesh
