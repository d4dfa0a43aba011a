#include "engine/render/effect/effect_cache.h"

namespace kesh {

EffectCache* theEffectCache = nullptr;

EffectCache::EffectCache(boost::shared_ptr<ResourceLoader<ID3DXEffect>> loader, DxDevice* dxDevice)
    : ResourceCache<ID3DXEffect>(std::move(loader)), device(dxDevice) {}

EffectCache::~EffectCache() {
    releaseAll();
}

ID3DXEffect* EffectCache::fetch(const ResourceId& id) {
    ID3DXEffect* effect = ResourceCache<ID3DXEffect>::fetch(id);
    cached[id.id] = effect;
    return effect;
}

void EffectCache::release(const ResourceId& id) {
    cached.erase(id.id);
    ResourceCache<ID3DXEffect>::release(id);
}

void EffectCache::releaseAll() {
    cached.clear();
    ResourceCache<ID3DXEffect>::releaseAll();
}

void EffectCache::restoreAll() {
    if (!lost) {
        return;
    }
    for (const auto& entry : cached) {
        entry.second->OnResetDevice();
    }
    lost = false;
}

void EffectCache::loseAll() {
    lost = true;
    for (const auto& entry : cached) {
        entry.second->OnLostDevice();
    }
}

}  // namespace kesh
