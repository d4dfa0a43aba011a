// Vertex and pixel shader objects: the decoded code of a shader blob, shared with the
// backend, which learns when the object goes so it can drop what it built from it.
#pragma once

#include <cstdint>
#include <memory>

#include "core/com_object.h"
#include "core/resource.h"
#include "d3d9/shader_blob.h"

namespace d3d9 {

struct ShaderCode {
    ShaderBlob blob;
    // Unique for the process: backends key their caches by it, never by address.
    std::uint64_t id = 0;
};

class ShaderBase {
public:
    ShaderBase(std::shared_ptr<DeviceContext> context, ShaderBlob blob);
    virtual ~ShaderBase();
    ShaderBase(const ShaderBase&) = delete;
    ShaderBase& operator=(const ShaderBase&) = delete;

    const ShaderCode& code() const { return code_; }

protected:
    HRESULT deviceOf(IDirect3DDevice9** device) const;

private:
    std::shared_ptr<DeviceContext> context_;
    ShaderCode code_;
};

template <class Interface>
class ShaderObject : public ComObject<Interface>, public ShaderBase {
public:
    ShaderObject(std::shared_ptr<DeviceContext> context, ShaderBlob blob)
        : ComObject<Interface>(ObjectType::Shader),
          ShaderBase(std::move(context), std::move(blob)) {}

    HRESULT GetDevice(IDirect3DDevice9** device) override { return deviceOf(device); }
};

using VertexShader = ShaderObject<IDirect3DVertexShader9>;
using PixelShader = ShaderObject<IDirect3DPixelShader9>;

// The code behind a bound shader; null for no shader or a foreign object.
const ShaderCode* shaderCode(IUnknown* shader);

}  // namespace d3d9
