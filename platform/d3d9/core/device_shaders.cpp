// Shader objects and the integer and boolean constant registers.
#include <algorithm>

#include "core/device.h"
#include "core/shader.h"

namespace d3d9 {

namespace {

template <class Object, class Interface>
HRESULT createShader(const std::shared_ptr<DeviceContext>& context, const DWORD* function,
                     ShaderKind kind, Interface** shader) {
    if (shader == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *shader = nullptr;
    ShaderBlob blob;
    if (!decodeShaderBlob(function, blob) || blob.kind != kind || blob.spirv.empty()) {
        return D3DERR_INVALIDCALL;
    }
    *shader = new Object(context, std::move(blob));
    return D3D_OK;
}

template <class T, size_t N>
HRESULT setConstants(std::array<T, N>& registers, size_t width, UINT start, const T* data,
                     UINT count) {
    const size_t available = N / width;
    if (data == nullptr || start > available || count > available - start) {
        return D3DERR_INVALIDCALL;
    }
    std::copy(data, data + size_t{count} * width, registers.begin() + size_t{start} * width);
    return D3D_OK;
}

}  // namespace

HRESULT Device::CreateVertexShader(const DWORD* function, IDirect3DVertexShader9** shader) {
    return createShader<VertexShader>(context_, function, ShaderKind::Vertex, shader);
}

HRESULT Device::CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) {
    return createShader<PixelShader>(context_, function, ShaderKind::Pixel, shader);
}

HRESULT Device::SetVertexShaderConstantI(UINT start, const int* data, UINT count) {
    state_.vertexConstantsVersion = nextStateVersion();
    return setConstants(state_.vertexIntConstants, 4, start, data, count);
}

HRESULT Device::SetPixelShaderConstantI(UINT start, const int* data, UINT count) {
    state_.pixelConstantsVersion = nextStateVersion();
    return setConstants(state_.pixelIntConstants, 4, start, data, count);
}

HRESULT Device::SetVertexShaderConstantB(UINT start, const BOOL* data, UINT count) {
    state_.vertexConstantsVersion = nextStateVersion();
    return setConstants(state_.vertexBoolConstants, 1, start, data, count);
}

HRESULT Device::SetPixelShaderConstantB(UINT start, const BOOL* data, UINT count) {
    state_.pixelConstantsVersion = nextStateVersion();
    return setConstants(state_.pixelBoolConstants, 1, start, data, count);
}

}  // namespace d3d9
