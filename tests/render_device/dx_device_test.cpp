#include "engine/render/device/dx_device.h"

#include <memory>
#include <stdexcept>

#include "tests/support/render_fixture.h"

namespace kesh::testing {
namespace {

// Holds a default-pool buffer between resets, as the engine's listeners do.
class BufferListener : public DeviceListener {
public:
    explicit BufferListener(IDirect3DDevice9* device, bool forgetsToRelease = false)
        : device_(device), forgetsToRelease_(forgetsToRelease) {}
    ~BufferListener() override {
        if (buffer_ != nullptr) {
            buffer_->Release();
        }
    }
    void OnResetDevice() override {
        ++resets;
        if (buffer_ == nullptr) {
            device_->CreateVertexBuffer(96, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0x142,
                                        D3DPOOL_DEFAULT, &buffer_, nullptr);
        }
    }
    void OnLostDevice() override {
        ++losses;
        if (!forgetsToRelease_ && buffer_ != nullptr) {
            buffer_->Release();
            buffer_ = nullptr;
        }
    }

    int resets = 0;
    int losses = 0;

private:
    IDirect3DDevice9* device_;
    bool forgetsToRelease_;
    IDirect3DVertexBuffer9* buffer_ = nullptr;
};

class DxDeviceTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        direct3d = Direct3DCreate9(D3D_SDK_VERSION);
        window = makeWindow(640, 480);
        factory = std::make_unique<DxDeviceFactory>(direct3d);
        ASSERT_TRUE(factory->selectDepthStencil(24, 0));
        // Held raw, so that the tear-down can check the last reference goes.
        device = factory->createDevice(window).release();
        dx = std::make_unique<DxDevice>(device, factory.get());
    }
    void TearDown() override {
        listener.reset();
        dx.reset();
        EXPECT_EQ(device->Release(), 0u);
        factory.reset();
        direct3d->Release();
        RenderTest::TearDown();
    }

    void script(std::vector<HRESULT> results) {
        d3d9::scriptCooperativeLevel(device, std::move(results));
    }

    IDirect3D9* direct3d = nullptr;
    HWND window = nullptr;
    std::unique_ptr<DxDeviceFactory> factory;
    IDirect3DDevice9* device = nullptr;
    std::unique_ptr<DxDevice> dx;
    std::unique_ptr<BufferListener> listener;
};

TEST_F(DxDeviceTest, ViewportAndFormatsComeFromTheDevice) {
    EXPECT_EQ(dx->getViewport().Width, 640u);
    EXPECT_EQ(dx->getViewport().Height, 480u);
    EXPECT_EQ(dx->backBufferFormat(), D3DFMT_X8R8G8B8);
    EXPECT_EQ(dx->depthStencilFormat(), D3DFMT_D24X8);
    EXPECT_FALSE(dx->isLost());
}

TEST_F(DxDeviceTest, ListenersJoinAndLeaveThroughTheResetPath) {
    listener = std::make_unique<BufferListener>(device);
    dx->addListener(listener.get());
    EXPECT_EQ(listener->resets, 1);
    dx->removeListener(listener.get());
    EXPECT_EQ(listener->losses, 1);

    // Added while lost: only the next reset creates its resources.
    script({D3DERR_DEVICELOST, D3DERR_DEVICELOST});
    dx->checkCooperativeLevel();
    ASSERT_TRUE(dx->isLost());
    BufferListener late(device);
    dx->addListener(&late);
    EXPECT_EQ(late.resets, 0);
    script({D3DERR_DEVICENOTRESET, D3DERR_DEVICENOTRESET});
    dx->checkCooperativeLevel();
    EXPECT_FALSE(dx->isLost());
    EXPECT_EQ(late.resets, 1);
    EXPECT_EQ(late.losses, 0);
    dx->removeListener(&late);
}

TEST_F(DxDeviceTest, AListenerWhoseResetThrowsIsNotKept) {
    // Its owner's constructor fails with the exception, so the device must forget it.
    class Refusing : public DeviceListener {
    public:
        void OnResetDevice() override { throw std::runtime_error("no buffers"); }
        void OnLostDevice() override { ++losses; }
        int losses = 0;
    };
    Refusing refusing;
    EXPECT_THROW(dx->addListener(&refusing), std::runtime_error);
    dx->notifyLost();
    EXPECT_EQ(refusing.losses, 0);
}

TEST_F(DxDeviceTest, LossIsNotifiedOnceAndWaitedOutUntilResettable) {
    listener = std::make_unique<BufferListener>(device);
    dx->addListener(listener.get());
    script({D3DERR_DEVICELOST, D3DERR_DEVICELOST, D3DERR_DEVICELOST, D3DERR_DEVICELOST});
    dx->checkCooperativeLevel();
    dx->checkCooperativeLevel();
    EXPECT_TRUE(dx->isLost());
    EXPECT_EQ(listener->losses, 1);
    EXPECT_EQ(listener->resets, 1);
    EXPECT_TRUE(logged("DxDevice: Device lost"));
    EXPECT_FALSE(logged("DxDevice: Reseting device"));

    script({D3DERR_DEVICENOTRESET, D3DERR_DEVICENOTRESET});
    dx->checkCooperativeLevel();
    EXPECT_FALSE(dx->isLost());
    EXPECT_EQ(listener->losses, 1);
    EXPECT_EQ(listener->resets, 2);
    EXPECT_TRUE(logged("DxDevice: Reseting device"));
    EXPECT_TRUE(logged("DxDevice: Device restored"));
    dx->removeListener(listener.get());
}

TEST_F(DxDeviceTest, NotResetWithoutAnEarlierLossIsHandledAsALoss) {
    listener = std::make_unique<BufferListener>(device);
    dx->addListener(listener.get());
    script({D3DERR_DEVICENOTRESET, D3DERR_DEVICENOTRESET});
    EXPECT_NO_THROW(dx->checkCooperativeLevel());
    EXPECT_FALSE(dx->isLost());
    EXPECT_EQ(listener->losses, 1);
    EXPECT_EQ(listener->resets, 2);
    dx->removeListener(listener.get());
}

TEST_F(DxDeviceTest, ResetLostAgainIsRetriedAtTheNextTurn) {
    listener = std::make_unique<BufferListener>(device);
    dx->addListener(listener.get());
    script({D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET});
    d3d9::failNextReset(device, D3DERR_DEVICELOST);
    EXPECT_NO_THROW(dx->checkCooperativeLevel());
    EXPECT_TRUE(dx->isLost());
    EXPECT_EQ(listener->resets, 1);

    script({D3DERR_DEVICENOTRESET, D3DERR_DEVICENOTRESET});
    dx->checkCooperativeLevel();
    EXPECT_FALSE(dx->isLost());
    EXPECT_EQ(listener->losses, 1);
    EXPECT_EQ(listener->resets, 2);
    dx->removeListener(listener.get());
}

TEST_F(DxDeviceTest, AListenerThatKeepsADefaultPoolBufferMakesTheResetFail) {
    listener = std::make_unique<BufferListener>(device, true);
    dx->addListener(listener.get());
    script({D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET});
    try {
        dx->checkCooperativeLevel();
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()).rfind("DxDevice: Device reset failed", 0), 0u);
    }
    dx->removeListener(listener.get());
}

TEST_F(DxDeviceTest, ResizeToTheCurrentSizeIsRejected) {
    listener = std::make_unique<BufferListener>(device);
    dx->addListener(listener.get());
    dx->resize(640, 480);
    EXPECT_TRUE(logged("resize rejected, backbuffer is (640, 480)"));
    EXPECT_FALSE(dx->isLost());
    EXPECT_EQ(listener->losses, 0);
    EXPECT_EQ(listener->resets, 1);
    EXPECT_EQ(d3d9::deviceRecord(device)->resets, 0);
    dx->removeListener(listener.get());
}

TEST_F(DxDeviceTest, ResizeResetsToTheClientArea) {
    listener = std::make_unique<BufferListener>(device);
    dx->addListener(listener.get());
    resizeClient(window, 800, 500);
    dx->resize(800, 500);
    EXPECT_FALSE(dx->isLost());
    EXPECT_EQ(listener->losses, 1);
    EXPECT_EQ(listener->resets, 2);
    EXPECT_EQ(factory->presentParameters().BackBufferWidth, 800u);
    EXPECT_EQ(factory->presentParameters().BackBufferHeight, 500u);
    EXPECT_EQ(dx->getViewport().Width, 800u);
    EXPECT_EQ(dx->getViewport().Height, 500u);
    EXPECT_TRUE(logged("DxDevice: Performing 'device reset'"));
    dx->removeListener(listener.get());
}

TEST_F(DxDeviceTest, ResizeIsIgnoredInFullScreen) {
    factory->presentParameters().Windowed = FALSE;
    listener = std::make_unique<BufferListener>(device);
    dx->addListener(listener.get());
    dx->resize(800, 500);
    EXPECT_EQ(listener->losses, 0);
    EXPECT_FALSE(dx->isLost());
    EXPECT_EQ(d3d9::deviceRecord(device)->resets, 0);
    dx->removeListener(listener.get());
    factory->presentParameters().Windowed = TRUE;
}

TEST_F(DxDeviceTest, FillQuadIndicesWritesTheQuadPatternInTheBufferFormat) {
    const auto narrow = create_index_buffer(device, 12, D3DFMT_INDEX16, 0, D3DPOOL_MANAGED);
    fillQuadIndices(narrow.get(), 2);
    {
        lock_whole_ib lock(narrow.get(), D3DLOCK_READONLY);
        const auto* indices = static_cast<const WORD*>(lock.data());
        EXPECT_EQ(std::vector<WORD>(indices, indices + 12),
                  (std::vector<WORD>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}));
    }
    D3DINDEXBUFFER_DESC desc{};
    narrow->GetDesc(&desc);
    EXPECT_EQ(desc.Size, 24u);

    const auto wide = create_index_buffer(device, 12, D3DFMT_INDEX32, 0, D3DPOOL_MANAGED);
    fillQuadIndices(wide.get(), 2);
    {
        lock_whole_ib lock(wide.get(), D3DLOCK_READONLY);
        const auto* indices = static_cast<const DWORD*>(lock.data());
        EXPECT_EQ(std::vector<DWORD>(indices, indices + 12),
                  (std::vector<DWORD>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}));
    }
    EXPECT_THROW(create_index_buffer(device, 0, D3DFMT_INDEX16, 0, D3DPOOL_MANAGED),
                 std::runtime_error);

    const auto quads = create_vertex_buffer(
        device, 64 * 4 * 24, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0x142, D3DPOOL_DEFAULT);
    D3DVERTEXBUFFER_DESC vertexDesc{};
    quads->GetDesc(&vertexDesc);
    EXPECT_EQ(vertexDesc.Size, 64u * 4 * 24);
    EXPECT_EQ(vertexDesc.FVF, 0x142u);
    try {
        create_vertex_buffer(device, 0, 0, 0, D3DPOOL_DEFAULT);
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()).rfind("create_vertex_buffer: cannot create buffer", 0),
                  0u);
    }
}

TEST_F(DxDeviceTest, DrawIndexedTrianglesBindsDrawsAndUnbinds) {
    const D3DVERTEXELEMENT9 elements[] = {
        {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0}, D3DDECL_END()};
    const auto declaration = dx->createVertexDeclaration(elements);
    const auto vertices = create_vertex_buffer(device, 4 * 12, 0, 0, D3DPOOL_MANAGED);
    const auto indices = create_index_buffer(device, 6, D3DFMT_INDEX16, 0, D3DPOOL_MANAGED);
    fillQuadIndices(indices.get(), 1);
    device->BeginScene();
    drawIndexedTriangles(device, declaration.get(), 12, vertices.get(), 0, 4, indices.get(), 0, 2);
    IDirect3DIndexBuffer9* bound = indices.get();
    device->GetIndices(&bound);
    EXPECT_EQ(bound, nullptr);
    // Indices 3 .. 8 do not exist.
    EXPECT_THROW(drawIndexedTriangles(device, declaration.get(), 12, vertices.get(), 0, 4,
                                      indices.get(), 3, 2),
                 std::runtime_error);
    device->EndScene();
    const auto* record = d3d9::deviceRecord(device);
    ASSERT_EQ(record->draws.size(), 1u);
    EXPECT_EQ(record->draws[0].state.declaration, declaration.get());
    EXPECT_EQ(record->draws[0].primitiveCount, 2u);
    device->SetIndices(nullptr);
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetVertexDeclaration(nullptr);
    EXPECT_THROW(dx->createVertexDeclaration(nullptr), std::runtime_error);
}

}  // namespace
}  // namespace kesh::testing
