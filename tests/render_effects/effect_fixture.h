// A DxDevice on a null device, a folder of effect files and a capture of the "resource" log.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/render/device/device_factory.h"
#include "engine/render/device/dx_device.h"
#include "tests/support/log_capture.h"
#include "tests/support/render_fixture.h"
#include "tests/win32/temp_folder.h"

namespace kesh::testing {

class EffectDeviceTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        morvale_testing::captureLog({"resource"});
        direct3d = Direct3DCreate9(D3D_SDK_VERSION);
        window = makeWindow(320, 240);
        factory = std::make_unique<DxDeviceFactory>(direct3d);
        ASSERT_TRUE(factory->selectDepthStencil(24, 0));
        device = factory->createDevice(window).release();
        dx = std::make_unique<DxDevice>(device, factory.get());
        folder = folderHolder.path().string() + "/";
    }
    void TearDown() override {
        dx.reset();
        EXPECT_EQ(device->Release(), 0u);
        factory.reset();
        EXPECT_EQ(direct3d->Release(), 0u);
        RenderTest::TearDown();
    }

    void writeFile(const std::string& name, const std::string& text) {
        std::ofstream(folder + name) << text;
    }
    bool loggedContaining(const std::string& part) const {
        return morvale_testing::loggedContaining("resource", part);
    }
    DWORD renderState(D3DRENDERSTATETYPE state) {
        DWORD value = 0;
        device->GetRenderState(state, &value);
        return value;
    }

    IDirect3D9* direct3d = nullptr;
    HWND window = nullptr;
    std::unique_ptr<DxDeviceFactory> factory;
    IDirect3DDevice9* device = nullptr;
    std::unique_ptr<DxDevice> dx;
    TempFolder folderHolder;
    std::string folder;
};

// Each reference count as AddRef then Release reveal it.
inline ULONG references(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

}  // namespace kesh::testing
