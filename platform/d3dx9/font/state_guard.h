// Saves the device states text drawing changes and puts them back when destroyed.
#pragma once

#include <array>
#include <utility>

#include <d3d9.h>

namespace d3dx9 {

class StateGuard {
public:
    explicit StateGuard(IDirect3DDevice9* device);
    ~StateGuard();
    StateGuard(const StateGuard&) = delete;
    StateGuard& operator=(const StateGuard&) = delete;

    static constexpr std::array<D3DRENDERSTATETYPE, 12> kRenderStates = {
        D3DRS_ZENABLE,   D3DRS_ZWRITEENABLE,    D3DRS_ALPHABLENDENABLE,
        D3DRS_SRCBLEND,  D3DRS_DESTBLEND,       D3DRS_CULLMODE,
        D3DRS_FILLMODE,  D3DRS_ALPHATESTENABLE, D3DRS_STENCILENABLE,
        D3DRS_FOGENABLE, D3DRS_BLENDOP,         D3DRS_SEPARATEALPHABLENDENABLE};
    static constexpr std::array<std::pair<DWORD, D3DTEXTURESTAGESTATETYPE>, 8> kStageStates = {{
        {0, D3DTSS_COLOROP},
        {0, D3DTSS_COLORARG1},
        {0, D3DTSS_COLORARG2},
        {0, D3DTSS_ALPHAOP},
        {0, D3DTSS_ALPHAARG1},
        {0, D3DTSS_ALPHAARG2},
        {1, D3DTSS_COLOROP},
        {1, D3DTSS_ALPHAOP},
    }};
    static constexpr std::array<D3DSAMPLERSTATETYPE, 5> kSamplerStates = {
        D3DSAMP_MINFILTER, D3DSAMP_MAGFILTER, D3DSAMP_MIPFILTER, D3DSAMP_ADDRESSU,
        D3DSAMP_ADDRESSV};

private:
    IDirect3DDevice9* device_;
    std::array<DWORD, kRenderStates.size()> renderStates_{};
    std::array<DWORD, kStageStates.size()> stageStates_{};
    std::array<DWORD, kSamplerStates.size()> samplerStates_{};
    IDirect3DBaseTexture9* texture_ = nullptr;
    IDirect3DVertexShader9* vertexShader_ = nullptr;
    IDirect3DPixelShader9* pixelShader_ = nullptr;
    IDirect3DVertexDeclaration9* declaration_ = nullptr;
    DWORD fvf_ = 0;
    IDirect3DVertexBuffer9* stream_ = nullptr;
    UINT streamOffset_ = 0;
    UINT streamStride_ = 0;
};

}  // namespace d3dx9
