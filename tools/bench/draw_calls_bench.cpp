// Draw calls per second for 10,000 small textured meshes a frame (one vertex/index buffer
// pair and one texture, drawn 10,000 times), on the null and the OpenGL backend side by
// side. Run with SDL_VIDEODRIVER=offscreen where there is no display.
#include <benchmark/benchmark.h>

#include <d3d9.h>
#include <windows.h>

#include <cstring>

#include "d3d9/drawing.h"
#include "d3d9/seams.h"
#include "win32/window_seams.h"

namespace {

constexpr int kMeshes = 10000;

struct Vertex {
    float x, y, z;
    D3DCOLOR colour;
    float u, v;
};

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

// A device of one backend with a small box mesh and a texture bound.
class Scene {
public:
    explicit Scene(d3d9::BackendKind kind) {
        win32::useWindowBackend(kind == d3d9::BackendKind::Gl ? win32::WindowBackendKind::Sdl
                                                              : win32::WindowBackendKind::Headless);
        d3d9::useBackend(kind);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.lpszClassName = L"DrawBench";
        RegisterClassExW(&windowClass);
        window_ = CreateWindowExW(0, L"DrawBench", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 656, 519,
                                  nullptr, nullptr, nullptr, nullptr);
        direct3d_ = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS parameters{};
        parameters.Windowed = TRUE;
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters.EnableAutoDepthStencil = TRUE;
        parameters.AutoDepthStencilFormat = D3DFMT_D24X8;
        parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        if (direct3d_ == nullptr ||
            FAILED(direct3d_->CreateDevice(0, D3DDEVTYPE_HAL, window_,
                                           D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters,
                                           &device_))) {
            device_ = nullptr;
            return;
        }
        makeMesh();
        device_->CreateTexture(64, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture_, nullptr);
        D3DLOCKED_RECT locked{};
        texture_->LockRect(0, &locked, nullptr, 0);
        for (int y = 0; y < 64; ++y) {
            auto* row =
                reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
            for (int x = 0; x < 64; ++x) {
                row[x] = ((x ^ y) & 8) ? 0xFFFFFFFF : 0xFF404040;
            }
        }
        texture_->UnlockRect(0);
    }

    ~Scene() {
        if (texture_ != nullptr) {
            texture_->Release();
        }
        if (vertices_ != nullptr) {
            vertices_->Release();
        }
        if (indices_ != nullptr) {
            indices_->Release();
        }
        if (device_ != nullptr) {
            device_->Release();
        }
        if (direct3d_ != nullptr) {
            direct3d_->Release();
        }
        win32::resetWindowSystem();
        d3d9::useBackend(d3d9::BackendKind::Null);
    }

    bool ready() const { return device_ != nullptr; }

    void frame() {
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF202020, 1.0f, 0);
        device_->BeginScene();
        for (int i = 0; i < kMeshes; ++i) {
            // What a mesh renderer sets per mesh; the values repeat, as they do in a scene
            // of many copies of one mesh.
            device_->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
            device_->SetStreamSource(0, vertices_, 0, sizeof(Vertex));
            device_->SetIndices(indices_);
            device_->SetTexture(0, texture_);
            device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, (i % 16) * 4, 0, 4, 0, 2);
        }
        device_->EndScene();
        device_->Present(nullptr, nullptr, nullptr, nullptr);
    }

private:
    void makeMesh() {
        // Sixteen small quads in a row; each draw picks one through its base vertex.
        device_->CreateVertexBuffer(16 * 4 * sizeof(Vertex), 0, 0, D3DPOOL_MANAGED, &vertices_,
                                    nullptr);
        Vertex* v = nullptr;
        vertices_->Lock(0, 0, reinterpret_cast<void**>(&v), 0);
        for (int q = 0; q < 16; ++q) {
            const float left = -0.9f + q * 0.11f;
            const float right = left + 0.1f;
            v[q * 4 + 0] = {left, 0.1f, 0.5f, 0xFFFFFFFF, 0, 0};
            v[q * 4 + 1] = {right, 0.1f, 0.5f, 0xFFFFFFFF, 1, 0};
            v[q * 4 + 2] = {left, -0.1f, 0.5f, 0xFFFFFFFF, 0, 1};
            v[q * 4 + 3] = {right, -0.1f, 0.5f, 0xFFFFFFFF, 1, 1};
        }
        vertices_->Unlock();
        device_->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices_, nullptr);
        WORD* i = nullptr;
        indices_->Lock(0, 0, reinterpret_cast<void**>(&i), 0);
        const WORD quad[6] = {0, 1, 2, 2, 1, 3};
        std::memcpy(i, quad, sizeof quad);
        indices_->Unlock();
    }

    HWND window_ = nullptr;
    IDirect3D9* direct3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    IDirect3DVertexBuffer9* vertices_ = nullptr;
    IDirect3DIndexBuffer9* indices_ = nullptr;
    IDirect3DTexture9* texture_ = nullptr;
};

void drawCalls(benchmark::State& state, d3d9::BackendKind kind) {
    Scene scene(kind);
    if (!scene.ready()) {
        state.SkipWithError("no device on this backend");
        return;
    }
    for (auto _ : state) {
        scene.frame();
    }
    state.counters["draws_per_second"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kMeshes, benchmark::Counter::kIsRate);
}

void nullBackend(benchmark::State& state) {
    drawCalls(state, d3d9::BackendKind::Null);
}

void glBackend(benchmark::State& state) {
    drawCalls(state, d3d9::BackendKind::Gl);
}

BENCHMARK(nullBackend)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(glBackend)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
