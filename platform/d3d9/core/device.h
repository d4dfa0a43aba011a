// The shared device: keeps every state a draw depends on, checks each call, follows
// Direct3D 9's lost-device and Reset rules, and hands finished draws to its backend.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "core/com_object.h"
#include "core/resource.h"
#include "d3d9/seams.h"
#include "display/fullscreen.h"

namespace d3d9 {

// Checks the parameters against the adapter and fills in what Direct3D chooses itself
// (windowed size from the client area, windowed format from the desktop, one back buffer).
HRESULT resolvePresentParameters(const AdapterDescription& adapter, HWND focusWindow,
                                 D3DPRESENT_PARAMETERS& parameters);

class Device : public ComObject<IDirect3DDevice9> {
public:
    Device(IDirect3D9* direct3d, AdapterDescription adapter, HWND focusWindow, DWORD behaviourFlags,
           const D3DPRESENT_PARAMETERS& parameters, std::unique_ptr<Backend> backend);
    ~Device() override;

    // Seams.
    void scriptCooperativeLevel(std::vector<HRESULT> results);
    void setCondition(HRESULT condition) { condition_ = condition; }
    void failNextReset(HRESULT result) { nextResetFailure_ = result; }
    DeviceContext& context() { return *context_; }
    // Takes the creation parameters' full-screen mode, as CreateDevice does.
    HRESULT applyDisplayMode() { return fullscreen_.apply(deviceWindow(), parameters_); }

    HRESULT TestCooperativeLevel() override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override;
    HRESULT GetDirect3D(IDirect3D9** direct3d) override;
    HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
    UINT GetAvailableTextureMem() override;

    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil) override;
    HRESULT Present(const RECT* source, const RECT* dest, HWND window,
                    const void* dirtyRegion) override;

    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;

    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer9** buffer, HANDLE* shared) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer9** buffer, HANDLE* shared) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* shared) override;
    HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                    IDirect3DVertexDeclaration9** declaration) override;

    HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) override;
    HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** declaration) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT GetFVF(DWORD* fvf) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset,
                            UINT stride) override;
    HRESULT GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset,
                            UINT* stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* indices) override;
    HRESULT GetIndices(IDirect3DIndexBuffer9** indices) override;
    HRESULT SetVertexShader(IDirect3DVertexShader9* shader) override;
    HRESULT GetVertexShader(IDirect3DVertexShader9** shader) override;
    HRESULT SetPixelShader(IDirect3DPixelShader9* shader) override;
    HRESULT GetPixelShader(IDirect3DPixelShader9** shader) override;

    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
    HRESULT SetVertexShaderConstantF(UINT start, const float* data, UINT count) override;
    HRESULT SetPixelShaderConstantF(UINT start, const float* data, UINT count) override;
    HRESULT CreateVertexShader(const DWORD* function, IDirect3DVertexShader9** shader) override;
    HRESULT CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) override;
    HRESULT SetVertexShaderConstantI(UINT start, const int* data, UINT count) override;
    HRESULT SetPixelShaderConstantI(UINT start, const int* data, UINT count) override;
    HRESULT SetVertexShaderConstantB(UINT start, const BOOL* data, UINT count) override;
    HRESULT SetPixelShaderConstantB(UINT start, const BOOL* data, UINT count) override;

    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex,
                                 UINT numVertices, UINT startIndex, UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices,
                            UINT stride) override;

private:
    HWND deviceWindow() const {
        return parameters_.hDeviceWindow != nullptr ? parameters_.hDeviceWindow : focusWindow_;
    }
    bool lost() const { return condition_ != D3D_OK; }
    // Drops every binding (with its reference) and restores the default state.
    void restoreDefaults();
    void unbindAll();
    // Recomputes the layout after the declaration or the FVF changed, so draws only read it.
    void refreshLayout();
    HRESULT checkDrawBasics(D3DPRIMITIVETYPE type, UINT primitiveCount) const;
    // Whether vertices up to last of every stream the layout reads lie inside their buffers.
    bool streamsCover(std::uint64_t last) const;

    std::shared_ptr<DeviceContext> context_;
    IDirect3D9* direct3d_;
    AdapterDescription adapter_;
    HWND focusWindow_;
    DWORD behaviourFlags_;
    D3DPRESENT_PARAMETERS parameters_;
    DeviceState state_;
    bool inScene_ = false;
    HRESULT condition_ = D3D_OK;
    std::deque<HRESULT> scriptedConditions_;
    HRESULT nextResetFailure_ = D3D_OK;
    // The layout in force: empty when none is set. Its id changes with every new layout.
    std::vector<D3DVERTEXELEMENT9> layout_;
    std::vector<D3DVERTEXELEMENT9> fvfScratch_;
    std::array<UINT, kStreamCount> streamVertexSizes_{};  // 0: the layout reads no such stream
    std::array<UINT, kStreamCount> layoutStreams_{};      // the streams it reads, the first count
    UINT layoutStreamCount_ = 0;
    std::uint64_t layoutId_ = 0;
    FullscreenMode fullscreen_;
};

}  // namespace d3d9
