// The loader behind the effect cache: compiles effect files through one shared effect pool,
// with a chain of fallbacks so that a missing or broken effect never stops the game: the
// file, then the program's resource of the same name, then the built-in error effect (a
// flat reddish shading, compiled at most once and shared by every name that fails).
#pragma once

#include <d3dx9effect.h>

#include <list>
#include <map>
#include <string>

#include "engine/core/resource.h"
#include "engine/render/device/device_listener.h"
#include "engine/render/device/dx_device.h"
#include "win32/com_ptr.h"

namespace kesh {

class EffectLoader : public ResourceLoader<ID3DXEffect>, public DeviceListener {
public:
    // Registers with the device. Throws std::runtime_error when the pool cannot be made.
    EffectLoader(DxDevice* device, std::uint32_t compileFlags, const std::string& directory);
    // Never throws: failures are logged.
    ~EffectLoader() override;
    EffectLoader(const EffectLoader&) = delete;
    EffectLoader& operator=(const EffectLoader&) = delete;

    // Never null; throws only when the built-in error effect itself cannot be made.
    ID3DXEffect* load(const ResourceId& name) override;
    // The error effect stays among the live effects while the loader lives, so it keeps
    // receiving device loss and reset.
    void release(ID3DXEffect*& effect) override;

    void OnLostDevice() override;
    void OnResetDevice() override;

    // The first technique that validates on the device; false (logged) when none does.
    static bool selectTechnique(ID3DXEffect* effect, const std::string& name);

    const std::list<ID3DXEffect*>& live() const { return liveEffects; }

private:
    ID3DXEffect* loadErrorEffect(const std::string& name, const D3DXMACRO* macroArray);

    std::string directory;
    DxDevice* device;
    std::uint32_t compileFlags;
    // Declared before everything that holds or lists effects, so that it goes last.
    win32::ComPtr<ID3DXEffectPool> pool;
    std::map<std::string, std::string> macros;
    std::list<ID3DXEffect*> liveEffects;     // handed out; the references are the callers'
    win32::ComPtr<ID3DXEffect> errorEffect;  // the loader's own reference
};

}  // namespace kesh
