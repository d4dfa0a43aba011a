// What the device keeps for a draw, and what the null backend records of each call, so
// tests can check what was drawn and under which state.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include <d3d9.h>

namespace d3d9 {

constexpr int kRenderStateCount = 256;
constexpr int kTextureStageCount = 8;
constexpr int kStageStateCount = 33;
constexpr int kSamplerCount = 16;
constexpr int kSamplerStateCount = 14;
constexpr int kStreamCount = 16;
constexpr int kShaderConstantCount = 256;
constexpr int kIntConstantCount = 16;
constexpr int kBoolConstantCount = 16;

// A number this process never handed out before (the first is 1).
inline std::uint64_t nextStateVersion() {
    static std::atomic<std::uint64_t> last{0};
    return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

struct StreamBinding {
    IDirect3DVertexBuffer9* buffer = nullptr;
    UINT offset = 0;
    UINT stride = 0;
};

// Everything a draw depends on. Object pointers identify objects; in a recorded copy they
// may dangle once the objects are gone, so compare them, never call through them.
struct DeviceState {
    std::array<DWORD, kRenderStateCount> renderStates{};
    std::array<std::array<DWORD, kStageStateCount>, kTextureStageCount> stageStates{};
    std::array<std::array<DWORD, kSamplerStateCount>, kSamplerCount> samplerStates{};
    std::array<IDirect3DBaseTexture9*, kSamplerCount> textures{};
    std::array<StreamBinding, kStreamCount> streams{};
    IDirect3DIndexBuffer9* indices = nullptr;
    IDirect3DVertexDeclaration9* declaration = nullptr;
    DWORD fvf = 0;
    IDirect3DVertexShader9* vertexShader = nullptr;
    IDirect3DPixelShader9* pixelShader = nullptr;
    D3DVIEWPORT9 viewport{};
    std::array<float, kShaderConstantCount * 4> vertexConstants{};
    std::array<float, kShaderConstantCount * 4> pixelConstants{};
    std::array<int, kIntConstantCount * 4> vertexIntConstants{};
    std::array<int, kIntConstantCount * 4> pixelIntConstants{};
    std::array<BOOL, kBoolConstantCount> vertexBoolConstants{};
    std::array<BOOL, kBoolConstantCount> pixelBoolConstants{};
    // A fresh nextStateVersion() whenever a constant register of the stage is set, or a
    // render state or the viewport changes (0: not known). Two equal versions other than 0
    // mean the same values: a backend need not look again at what it applied under one.
    std::uint64_t vertexConstantsVersion = 0;
    std::uint64_t pixelConstantsVersion = 0;
    std::uint64_t renderStatesVersion = 0;
    // The same for everything else a draw reads but the constants: the bound objects, the
    // stream slots, the layout and the stage and sampler states.
    std::uint64_t bindingsVersion = 0;

    DWORD renderState(D3DRENDERSTATETYPE state) const { return renderStates[state]; }
    DWORD stageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const {
        return stageStates[stage][type];
    }
    DWORD samplerState(DWORD sampler, D3DSAMPLERSTATETYPE type) const {
        return samplerStates[sampler][type];
    }
};

// The Direct3D 9 defaults, as after creation and every Reset, with nothing bound.
void setDefaultState(DeviceState& state, bool autoDepthStencil, UINT width, UINT height);

enum class DrawKind { Primitive, Indexed, UserPointer };

struct RecordedDraw {
    DrawKind kind = DrawKind::Primitive;
    D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST;
    UINT primitiveCount = 0;
    INT baseVertex = 0;
    UINT minIndex = 0;
    UINT numVertices = 0;
    UINT startIndex = 0;
    UINT startVertex = 0;
    UINT stride = 0;
    // The vertex layout in force (the declaration's, or the one the FVF describes).
    std::vector<D3DVERTEXELEMENT9> layout;
    // Each vertex the draw reads, in primitive order, as its number in stream 0 (base
    // vertex added), and its bytes as they were at the moment of the draw.
    std::vector<UINT> vertexNumbers;
    std::vector<BYTE> vertices;
    DeviceState state;
    std::array<std::string, kSamplerCount> textureNames;
    // Set by the layers above the device (e.g. "effect/technique/pass").
    std::string tag;

    // Bytes of the i-th drawn vertex.
    const BYTE* vertex(size_t i) const { return vertices.data() + i * stride; }
};

struct RecordedClear {
    DWORD rectCount = 0;
    std::vector<D3DRECT> rects;
    DWORD flags = 0;
    D3DCOLOR color = 0;
    float z = 0.0f;
    DWORD stencil = 0;
    // Draws recorded before this clear: where it fell among them.
    size_t drawsBefore = 0;
};

struct RecordedLock {
    const void* resource = nullptr;  // the interface pointer that was locked
    D3DRESOURCETYPE type = D3DRTYPE_VERTEXBUFFER;
    UINT offset = 0;  // for textures: the level
    UINT size = 0;    // as passed: 0 means to the end
    DWORD flags = 0;
};

// Calls seen by a null device. Draws beyond the cap push out the oldest ones.
struct DeviceRecord {
    static constexpr size_t kMaxDraws = 2048;
    std::deque<RecordedDraw> draws;
    std::vector<RecordedClear> clears;
    std::vector<RecordedLock> locks;
    int beginScenes = 0;
    int endScenes = 0;
    int presents = 0;
    int resets = 0;

    void clear() { *this = DeviceRecord(); }
};

}  // namespace d3d9
