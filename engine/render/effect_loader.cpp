#include "engine/render/effect_loader.h"

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
void logMessages(ID3DXBuffer*& messages) {
    if (messages == nullptr) {
        return;
    }
    if (messages->GetBufferSize() > 1) {
        const char* text = static_cast<const char*>(messages->GetBufferPointer());
        writeLine(resourceLog(), std::string(text, strnlen(text, messages->GetBufferSize())));
    }
    messages->Release();
    messages = nullptr;
}

void dropMessages(ID3DXBuffer*& messages) {
    if (messages != nullptr) {
        messages->Release();
        messages = nullptr;
    }
}

}  // namespace

EffectLoader::EffectLoader(DxDevice* dxDevice, std::uint32_t flags, const std::string& folder)
    : directory(folder), device(dxDevice), compileFlags(flags) {
    device->addListener(this);
    const HRESULT hr = D3DXCreateEffectPool(&pool);
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
    if (errorEffect != nullptr) {
        errorEffect->Release();
        errorEffect = nullptr;
    }
    liveEffects.clear();
    macros.clear();
    if (pool != nullptr) {
        pool->Release();
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

    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* messages = nullptr;
    HRESULT hr = D3DXCreateEffectFromFileA(d3d, path.c_str(), macroArray.data(), nullptr,
                                           compileFlags, pool, &effect, &messages);
    const bool selected = effect != nullptr && selectTechnique(effect, name);
    if (SUCCEEDED(hr) && selected) {
        dropMessages(messages);
        liveEffects.push_back(effect);
        return effect;
    }
    if (SUCCEEDED(hr)) {
        writeLine(resourceLog(), "Unable to assign valid technique (", path, ")");
    }
    if (effect != nullptr) {
        effect->Release();
        effect = nullptr;
    }
    logMessages(messages);

    writeLine(resourceLog(), "Building '", name, "' (from resource)...");
    hr = D3DXCreateEffectFromResourceW(d3d, GetModuleHandleW(nullptr), toWide(name).c_str(),
                                       macroArray.data(), nullptr, compileFlags, pool, &effect,
                                       &messages);
    if (effect == nullptr || !selectTechnique(effect, name)) {
        writeLine(resourceLog(), "Unable to assign valid technique (from resource)");
    }
    if (SUCCEEDED(hr) && effect != nullptr) {
        dropMessages(messages);
        liveEffects.push_back(effect);
        return effect;
    }
    if (effect != nullptr) {
        effect->Release();
    }
    writeLine(resourceLog(), "Unable to compile ", name, " (from resource)");
    logMessages(messages);

    if (errorEffect != nullptr) {
        errorEffect->AddRef();
        return errorEffect;
    }
    return loadErrorEffect(name, macroArray.data());
}

ID3DXEffect* EffectLoader::loadErrorEffect(const std::string& name, const D3DXMACRO* macroArray) {
    writeLine(resourceLog(), "Creating <error.fx> from code embedded text");
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* messages = nullptr;
    const HRESULT hr = D3DXCreateEffect(device->getDevice(), kErrorEffectText,
                                        static_cast<UINT>(kErrorEffectTextSize), macroArray,
                                        nullptr, compileFlags, pool, &effect, &messages);
    if (FAILED(hr) || effect == nullptr) {
        logMessages(messages);
        throwDxError(FAILED(hr) ? hr : E_FAIL, L"Unable to compile " + toWide(name));
    }
    dropMessages(messages);
    if (!selectTechnique(effect, name + " (internal)")) {
        effect->Release();
        throwRuntimeError(L"Unable to assign valid technique");
    }
    effect->AddRef();  // the loader's own reference
    errorEffect = effect;
    liveEffects.push_back(effect);
    return effect;
}

void EffectLoader::release(ID3DXEffect*& effect) {
    if (effect == nullptr) {
        return;
    }
    if (effect != errorEffect) {
        const auto found = std::find(liveEffects.begin(), liveEffects.end(), effect);
        if (found != liveEffects.end()) {
            liveEffects.erase(found);
        }
    }
    effect->Release();
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
