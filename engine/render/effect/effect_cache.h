// The effects' resource cache: every Part fetches its effects here by name. Beside the
// cache's own operations it can tell every cached effect of a device loss and reset (the
// system itself lets the loader's device listener do that).
#pragma once

#include <d3dx9effect.h>

#include <boost/shared_ptr.hpp>

#include <map>
#include <string>

#include "engine/core/resource.h"
#include "engine/render/device/dx_device.h"
#include "engine/render/effect/effect_loader.h"

namespace kesh {

class EffectCache : public ResourceCache<ID3DXEffect> {
public:
    EffectCache(boost::shared_ptr<ResourceLoader<ID3DXEffect>> loader, DxDevice* device);
    ~EffectCache() override;

    ID3DXEffect* fetch(const ResourceId& id) override;
    void release(const ResourceId& id) override;
    void releaseAll() override;

    // When lost: OnResetDevice on every cached effect, then no longer lost.
    void restoreAll();
    // Lost, and OnLostDevice on every cached effect.
    void loseAll();

    bool isLost() const { return lost; }

private:
    [[maybe_unused]] DxDevice* device;  // kept, not read
    bool lost = false;
    std::map<std::string, ID3DXEffect*> cached;
};

// The process-wide effect cache, published by the game object; null outside its lifetime.
extern EffectCache* theEffectCache;

}  // namespace kesh
