#include "engine/render/effect/effect_loader.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "engine/core/errors.h"
#include "engine/core/strings.h"
#include "engine/render/log_lines.h"
#include "engine/render/resources/error_fx_text.h"

namespace kesh {
namespace {

boost::log::Logger& resourceLog() {
    return boost::log::logResource();
}

// Logs compiler messages longer than their terminator and releases the buffer.
void logMessages(win32::ComPtr<ID3DXBuffer>& messages) {
    if (!messages) {
        return;
    }
    if (messages->GetBufferSize() > 1) {
        const char* text = static_cast<const char*>(messages->GetBufferPointer());
        writeLine(resourceLog(), std::string(text, strnlen(text, messages->GetBufferSize())));
    }
    messages.reset();
}

}  // namespace

EffectLoader::EffectLoader(DxDevice* dxDevice, std::uint32_t flags, const std::string& folder)
    : directory(folder), device(dxDevice), compileFlags(flags) {
    device->addListener(this);
    const HRESULT hr = D3DXCreateEffectPool(pool.out());
    if (FAILED(hr)) {
        device->removeListener(this);
        throwDxError(hr, L"failed to create global effect pool");
    }
}

EffectLoader::~EffectLoader() {
    try {
        device->removeListener(this);
    } catch (const std::exception& e) {
        writeLine(boost::log::logError(), "EffectLoader: ", e.what());
    } catch (...) {
        writeLine(boost::log::logError(), "EffectLoader: unknown exception at destruction");
    }
}

bool EffectLoader::selectTechnique(ID3DXEffect* effect, const std::string& name) {
    D3DXHANDLE technique = nullptr;
    if (FAILED(effect->FindNextValidTechnique(nullptr, &technique))) {
        writeLine(resourceLog(), "no valid techniques found for ", name);
        return false;
    }
    if (FAILED(effect->SetTechnique(technique))) {
        writeLine(resourceLog(), "set valid technique failed");
        return false;
    }
    return true;
}

ID3DXEffect* EffectLoader::load(const ResourceId& id) {
    const std::string& name = id.id;
    const std::string path = directory + name;
    std::vector<D3DXMACRO> macroArray;
    for (const auto& macro : macros) {
        macroArray.push_back({macro.first.c_str(), macro.second.c_str()});
    }
    macroArray.push_back({nullptr, nullptr});
    IDirect3DDevice9* d3d = device->getDevice();

    win32::ComPtr<ID3DXEffect> effect;
    win32::ComPtr<ID3DXBuffer> messages;
    HRESULT hr = D3DXCreateEffectFromFileA(d3d, path.c_str(), macroArray.data(), nullptr,
                                           compileFlags, pool.get(), effect.out(), messages.out());
    const bool selected = effect && selectTechnique(effect.get(), name);
    if (SUCCEEDED(hr) && selected) {
        liveEffects.push_back(effect.get());
        return effect.release();
    }
    if (SUCCEEDED(hr)) {
        writeLine(resourceLog(), "Unable to assign valid technique (", path, ")");
    }
    effect.reset();
    logMessages(messages);

    writeLine(resourceLog(), "Building '", name, "' (from resource)...");
    hr = D3DXCreateEffectFromResourceW(d3d, GetModuleHandleW(nullptr), toWide(name).c_str(),
                                       macroArray.data(), nullptr, compileFlags, pool.get(),
                                       effect.out(), messages.out());
    if (!effect || !selectTechnique(effect.get(), name)) {
        writeLine(resourceLog(), "Unable to assign valid technique (from resource)");
    }
    if (SUCCEEDED(hr) && effect) {
        liveEffects.push_back(effect.get());
        return effect.release();
    }
    effect.reset();
    writeLine(resourceLog(), "Unable to compile ", name, " (from resource)");
    logMessages(messages);

    if (errorEffect) {
        return win32::addRef(errorEffect.get()).release();
    }
    return loadErrorEffect(name, macroArray.data());
}

ID3DXEffect* EffectLoader::loadErrorEffect(const std::string& name, const D3DXMACRO* macroArray) {
    writeLine(resourceLog(), "Creating <error.fx> from code embedded text");
    win32::ComPtr<ID3DXEffect> effect;
    win32::ComPtr<ID3DXBuffer> messages;
    const HRESULT hr = D3DXCreateEffect(
        device->getDevice(), kErrorEffectText, static_cast<UINT>(kErrorEffectTextSize), macroArray,
        nullptr, compileFlags, pool.get(), effect.out(), messages.out());
    if (FAILED(hr) || !effect) {
        logMessages(messages);
        throwDxError(FAILED(hr) ? hr : E_FAIL, L"Unable to compile " + toWide(name));
    }
    messages.reset();
    if (!selectTechnique(effect.get(), name + " (internal)")) {
        throwRuntimeError(L"Unable to assign valid technique");
    }
    errorEffect = effect;  // the loader's own reference
    liveEffects.push_back(effect.get());
    return effect.release();
}

void EffectLoader::release(ID3DXEffect*& effect) {
    if (effect == nullptr) {
        return;
    }
    if (effect != errorEffect.get()) {
        const auto found = std::find(liveEffects.begin(), liveEffects.end(), effect);
        if (found != liveEffects.end()) {
            liveEffects.erase(found);
        }
    }
    // Adopting the cache's reference gives it back.
    const win32::ComPtr<ID3DXEffect> given(effect);
    effect = nullptr;
}

void EffectLoader::OnLostDevice() {
    for (ID3DXEffect* effect : liveEffects) {
        effect->OnLostDevice();
    }
}

void EffectLoader::OnResetDevice() {
    for (ID3DXEffect* effect : liveEffects) {
        effect->OnResetDevice();
    }
}

}  // namespace kesh
