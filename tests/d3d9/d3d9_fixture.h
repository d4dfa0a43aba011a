// A headless window with a null device on it.
#pragma once

#include <gtest/gtest.h>

#include <d3d9.h>
#include <windows.h>

#include "d3d9/seams.h"
#include "tests/support/test_window.h"
#include "win32/window_seams.h"

namespace d3d9::testing {

using morvale_testing::makeWindow;

inline D3DPRESENT_PARAMETERS windowedParameters() {
    D3DPRESENT_PARAMETERS parameters{};
    parameters.Windowed = TRUE;
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D24X8;
    parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return parameters;
}

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        win32::useWindowBackend(win32::WindowBackendKind::Headless);
        setAdapters({});
        window = makeWindow(320, 240);
        ASSERT_NE(window, nullptr);
        direct3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(direct3d, nullptr);
        parameters = windowedParameters();
        ASSERT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, window,
                                         D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device),
                  D3D_OK);
        record = deviceRecord(device);
        ASSERT_NE(record, nullptr);
    }

    void TearDown() override {
        if (device != nullptr) {
            EXPECT_EQ(device->Release(), 0u);
        }
        if (direct3d != nullptr) {
            EXPECT_EQ(direct3d->Release(), 0u);
        }
        win32::resetWindowSystem();
        for (int type = 0; type < static_cast<int>(ObjectType::Count); ++type) {
            EXPECT_EQ(liveObjects(static_cast<ObjectType>(type)), 0) << "object type " << type;
        }
    }

    // A dynamic vertex buffer of xyz + uv vertices (FVF 0x102, 20 bytes).
    IDirect3DVertexBuffer9* makeVertices(UINT count,
                                         DWORD usage = D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY) {
        IDirect3DVertexBuffer9* buffer = nullptr;
        EXPECT_EQ(
            device->CreateVertexBuffer(count * 20, usage, 0x102, D3DPOOL_DEFAULT, &buffer, nullptr),
            D3D_OK);
        return buffer;
    }

    IDirect3DIndexBuffer9* makeIndices(const std::vector<WORD>& indices) {
        IDirect3DIndexBuffer9* buffer = nullptr;
        EXPECT_EQ(device->CreateIndexBuffer(static_cast<UINT>(indices.size() * 2), 0,
                                            D3DFMT_INDEX16, D3DPOOL_MANAGED, &buffer, nullptr),
                  D3D_OK);
        void* data = nullptr;
        EXPECT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
        std::copy(indices.begin(), indices.end(), static_cast<WORD*>(data));
        EXPECT_EQ(buffer->Unlock(), D3D_OK);
        return buffer;
    }

    HWND window = nullptr;
    IDirect3D9* direct3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    D3DPRESENT_PARAMETERS parameters{};
    DeviceRecord* record = nullptr;
};

}  // namespace d3d9::testing
