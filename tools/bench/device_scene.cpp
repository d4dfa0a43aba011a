#include "device_scene.h"

#include <cstring>

#include "shader_blobs.h"

namespace bench {

namespace {

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

template <class T>
void release(T*& object) {
    if (object != nullptr) {
        object->Release();
        object = nullptr;
    }
}

}  // namespace

DeviceScene::DeviceScene(const wchar_t* title) {
    static ATOM atom = 0;
    if (atom == 0) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.lpszClassName = L"DrawBench";
        atom = RegisterClassExW(&windowClass);
    }
    RECT rect{0, 0, kWidth, kHeight};
    AdjustWindowRectEx(&rect, WS_OVERLAPPEDWINDOW, FALSE, 0);
    window_ =
        CreateWindowExW(0, L"DrawBench", title, WS_OVERLAPPEDWINDOW, 0, 0, rect.right - rect.left,
                        rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr);
    direct3d_ = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS parameters{};
    parameters.Windowed = TRUE;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D24X8;
    parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    if (direct3d_ == nullptr || FAILED(direct3d_->CreateDevice(0, D3DDEVTYPE_HAL, window_,
                                                               D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                                               &parameters, &device_))) {
        device_ = nullptr;
        return;
    }
    makeMesh();
    device_->CreateTexture(kTextureSize, kTextureSize, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                           &texture_, nullptr);
    D3DLOCKED_RECT locked{};
    texture_->LockRect(0, &locked, nullptr, 0);
    const std::vector<std::uint32_t> texels = checkerTexels();
    for (int y = 0; y < kTextureSize; ++y) {
        std::memcpy(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch, &texels[y * kTextureSize],
                    kTextureSize * 4);
    }
    texture_->UnlockRect(0);

    const ShaderBlobWords vertex = buildShaderBlob(kMeshEffect, true);
    const ShaderBlobWords pixel = buildShaderBlob(kMeshEffect, false);
    device_->CreateVertexShader(vertex.words.data(), &vertexShader_);
    device_->CreatePixelShader(pixel.words.data(), &pixelShader_);
    worldRegister_ = vertex.registers.at("g_world");
    samplerStage_ = pixel.registers.at("g_sampler");
}

DeviceScene::~DeviceScene() {
    release(vertexShader_);
    release(pixelShader_);
    release(texture_);
    release(vertices_);
    release(indices_);
    release(device_);
    release(direct3d_);
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

void DeviceScene::makeMesh() {
    const std::vector<Vertex> quads = quadVertices();
    const UINT bytes = static_cast<UINT>(quads.size() * sizeof(Vertex));
    device_->CreateVertexBuffer(bytes, 0, 0, D3DPOOL_MANAGED, &vertices_, nullptr);
    void* data = nullptr;
    vertices_->Lock(0, 0, &data, 0);
    std::memcpy(data, quads.data(), bytes);
    vertices_->Unlock();
    device_->CreateIndexBuffer(sizeof kQuadIndices, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices_,
                               nullptr);
    indices_->Lock(0, 0, &data, 0);
    std::memcpy(data, kQuadIndices.data(), sizeof kQuadIndices);
    indices_->Unlock();
}

void DeviceScene::frame() {
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF202020, 1.0f, 0);
    device_->BeginScene();
    device_->SetVertexShader(vertexShader_);
    device_->SetPixelShader(pixelShader_);
    for (int i = 0; i < kMeshes; ++i) {
        // What a mesh renderer sets per mesh; the values repeat, as they do in a scene of
        // many copies of one mesh, except the world matrix.
        device_->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
        device_->SetStreamSource(0, vertices_, 0, sizeof(Vertex));
        device_->SetIndices(indices_);
        device_->SetTexture(samplerStage_, texture_);
        device_->SetVertexShaderConstantF(worldRegister_, worlds_[i].data(), 4);
        device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, (i % kQuads) * 4, 0, 4, 0, 2);
    }
    device_->EndScene();
    device_->Present(nullptr, nullptr, nullptr, nullptr);
}

}  // namespace bench
