// The benchmark's meshes drawn through a Direct3D 9 device of one backend, with the
// effect's shaders and the world matrix set as a vertex shader constant per draw.
#pragma once

#include <d3d9.h>
#include <windows.h>

#include <vector>

#include "bench_mesh.h"
#include "d3d9/seams.h"

namespace bench {

class DeviceScene {
public:
    // Devices draw on the backend of d3d9::useBackend at the time of construction.
    explicit DeviceScene(const wchar_t* title);
    ~DeviceScene();
    DeviceScene(const DeviceScene&) = delete;
    DeviceScene& operator=(const DeviceScene&) = delete;

    bool ready() const { return device_ != nullptr; }
    IDirect3DDevice9* device() const { return device_; }
    void frame();

private:
    void makeMesh();

    HWND window_ = nullptr;
    IDirect3D9* direct3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    IDirect3DVertexBuffer9* vertices_ = nullptr;
    IDirect3DIndexBuffer9* indices_ = nullptr;
    IDirect3DTexture9* texture_ = nullptr;
    IDirect3DVertexShader9* vertexShader_ = nullptr;
    IDirect3DPixelShader9* pixelShader_ = nullptr;
    UINT worldRegister_ = 0;
    UINT samplerStage_ = 0;
    std::vector<Matrix> worlds_ = worldMatrices();
};

}  // namespace bench
