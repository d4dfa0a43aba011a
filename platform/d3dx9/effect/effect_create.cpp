// D3DXCreateEffect and its file and resource forms: parse, compile every shader, hand
// back the effect or the messages.
#include <cstring>
#include <string>

#include <d3dx9effect.h>

#include "common/file_data.h"
#include "effect_files.h"
#include "effect_object.h"
#include "effect_seams_state.h"
#include "fx_parser.h"
#include "win32/file_paths.h"
#include "win32/resources.h"

namespace d3dx9::fx {
namespace {

// Compiler messages as a NUL-terminated text buffer; null when it cannot be made.
ID3DXBuffer* messageBuffer(const std::string& text) {
    ID3DXBuffer* buffer = nullptr;
    if (FAILED(D3DXCreateBuffer(static_cast<DWORD>(text.size() + 1), &buffer))) {
        return nullptr;
    }
    std::memcpy(buffer->GetBufferPointer(), text.c_str(), text.size() + 1);
    return buffer;
}

bool hasMacros(const D3DXMACRO* defines) {
    return defines != nullptr && defines[0].Name != nullptr;
}

// The text of an effect or an included file, without the UTF-8 byte-order mark that editors
// on Windows put at the start of a file.
std::string effectText(const void* data, size_t size) {
    const char* text = static_cast<const char*>(data);
    if (size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) {
        text += 3;
        size -= 3;
    }
    return std::string(text, size);
}

// An include handler of the caller, through the parser's interface.
IncludeHandler callerIncludes(ID3DXInclude* include) {
    return [include](const std::string& name, const std::string&, std::string& resolvedName,
                     std::string& text) {
        const void* data = nullptr;
        UINT bytes = 0;
        if (FAILED(include->Open(D3DXINC_LOCAL, name.c_str(), nullptr, &data, &bytes)) ||
            data == nullptr) {
            return false;
        }
        text = effectText(data, bytes);
        include->Close(data);
        resolvedName = name;
        return true;
    };
}

// Includes beside the including file, inside the folder of the effect that starts them: no
// spelling of a name ("..", links) reaches a file outside it.
IncludeHandler filesBeside(const std::string& effectFile) {
    const std::string folder = folderOf(effectFile);
    const std::string root = folder.empty() ? std::string(".") : folder;
    return includeBesideFile([root](const std::string& path, std::string& text) {
        if (!win32::isInsideFolder(path, root)) {
            return false;
        }
        const auto bytes = readEffectFile(path, kMaxEffectBytes);
        if (!bytes) {
            return false;
        }
        text = effectText(bytes->data(), bytes->size());
        return true;
    });
}

HRESULT createEffect(IDirect3DDevice9* device, const std::string& name, const std::string& text,
                     const D3DXMACRO* defines, const IncludeHandler& includes,
                     ID3DXEffectPool* pool, ID3DXEffect** effect, ID3DXBuffer** errors) {
    if (errors != nullptr) {
        *errors = nullptr;
    }
    if (device == nullptr || effect == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *effect = nullptr;
    std::string messages;
    HRESULT hr = D3D_OK;
    try {
        if (hasMacros(defines)) {
            messages = name + "(1): error: preprocessor macros are not supported\n";
            hr = D3DERR_INVALIDCALL;
        } else if (compileFailureForced(name)) {
            messages = name + "(1): error: the effect failed to compile\n";
            hr = D3DXERR_INVALIDDATA;
        } else {
            EffectDesc desc = parseEffect(name, text, includes);
            auto* created = new Effect(device, std::move(desc), static_cast<EffectPool*>(pool),
                                       validationFailureForced(name));
            messages = created->warnings();
            *effect = created;
        }
    } catch (const EffectError& e) {
        messages = e.what();
        hr = D3DXERR_INVALIDDATA;
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
    } catch (const std::exception& e) {
        messages = e.what();
        hr = E_FAIL;
    }
    if (errors != nullptr && !messages.empty()) {
        *errors = messageBuffer(messages);
    }
    return hr;
}

}  // namespace
}  // namespace d3dx9::fx

HRESULT D3DXCreateEffect(IDirect3DDevice9* device, const void* data, UINT length,
                         const D3DXMACRO* defines, ID3DXInclude* include, DWORD,
                         ID3DXEffectPool* pool, ID3DXEffect** effect, ID3DXBuffer** errors) {
    using namespace d3dx9::fx;
    if (data == nullptr || length == 0) {
        if (errors != nullptr) {
            *errors = nullptr;
        }
        return D3DERR_INVALIDCALL;
    }
    return createEffect(device, "memory", effectText(data, length), defines,
                        include != nullptr ? callerIncludes(include) : IncludeHandler(), pool,
                        effect, errors);
}

HRESULT D3DXCreateEffectFromFileA(IDirect3DDevice9* device, const char* file,
                                  const D3DXMACRO* defines, ID3DXInclude* include, DWORD,
                                  ID3DXEffectPool* pool, ID3DXEffect** effect,
                                  ID3DXBuffer** errors) {
    using namespace d3dx9::fx;
    if (errors != nullptr) {
        *errors = nullptr;
    }
    if (file == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    if (effect != nullptr) {
        *effect = nullptr;
    }
    if (!d3dx9::findFile(file)) {
        return D3DERR_NOTFOUND;
    }
    const auto bytes = readEffectFile(file, kMaxEffectBytes);
    if (!bytes) {
        if (errors != nullptr) {
            *errors =
                messageBuffer(std::string(file) + "(1): error: not a readable file of at most " +
                              std::to_string(kMaxEffectBytes) + " bytes\n");
        }
        return D3DXERR_INVALIDDATA;
    }
    return createEffect(device, file, effectText(bytes->data(), bytes->size()), defines,
                        include != nullptr ? callerIncludes(include) : filesBeside(file), pool,
                        effect, errors);
}

HRESULT D3DXCreateEffectFromResourceW(IDirect3DDevice9* device, HMODULE module, const wchar_t* name,
                                      const D3DXMACRO* defines, ID3DXInclude* include, DWORD,
                                      ID3DXEffectPool* pool, ID3DXEffect** effect,
                                      ID3DXBuffer** errors) {
    using namespace d3dx9::fx;
    if (errors != nullptr) {
        *errors = nullptr;
    }
    const win32::ResourceEntry* resource = win32::findResource(module, RT_RCDATA, name);
    if (resource == nullptr) {
        if (effect != nullptr) {
            *effect = nullptr;
        }
        return D3DXERR_INVALIDDATA;
    }
    return createEffect(device, resource->name, effectText(resource->bytes, resource->size),
                        defines, include != nullptr ? callerIncludes(include) : IncludeHandler(),
                        pool, effect, errors);
}
