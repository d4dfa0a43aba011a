// A dynamic buffer discarded every frame, as the quad batcher and sprite batch do: each
// DISCARD hands out zeroed storage other than the last, earlier draws keep what they read,
// a lock still open keeps its storage, and once warm no lock touches the heap.
#include <d3d9/seams.h>

#include <cstring>

#include "d3d9_fixture.h"
#include "tests/support/allocation_counter.h"

namespace d3d9::testing {
namespace {

using DiscardTest = DeviceTest;

float* lockFloats(IDirect3DVertexBuffer9* buffer, DWORD flags) {
    float* data = nullptr;
    EXPECT_EQ(buffer->Lock(0, 0, reinterpret_cast<void**>(&data), flags), D3D_OK);
    return data;
}

TEST_F(DiscardTest, EveryFrameGetsZeroedStorageOtherThanTheLastAndDrawsKeepTheirVertices) {
    IDirect3DVertexBuffer9* buffer = makeVertices(3);
    ASSERT_EQ(device->SetFVF(0x102), D3D_OK);
    ASSERT_EQ(device->SetStreamSource(0, buffer, 0, 20), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    float* previous = nullptr;
    for (int frame = 1; frame <= 4; ++frame) {
        float* data = lockFloats(buffer, D3DLOCK_DISCARD);
        ASSERT_NE(data, previous) << frame;
        for (int i = 0; i < 15; ++i) {
            ASSERT_EQ(data[i], 0.0f) << frame;
            data[i] = static_cast<float>(frame);
        }
        ASSERT_EQ(buffer->Unlock(), D3D_OK);
        ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
        previous = data;
    }
    ASSERT_EQ(device->EndScene(), D3D_OK);

    ASSERT_EQ(record->draws.size(), 4u);
    for (int frame = 1; frame <= 4; ++frame) {
        float x = 0.0f;
        std::memcpy(&x, record->draws[frame - 1].vertex(2), sizeof x);
        EXPECT_EQ(x, static_cast<float>(frame));
    }
    ASSERT_EQ(device->SetStreamSource(0, nullptr, 0, 0), D3D_OK);
    buffer->Release();
}

TEST_F(DiscardTest, ADiscardWhileALockIsOpenLeavesTheOpenLocksStorageWritable) {
    IDirect3DVertexBuffer9* buffer = makeVertices(3);
    float* first = lockFloats(buffer, 0);
    float* second = lockFloats(buffer, D3DLOCK_DISCARD);
    ASSERT_NE(first, second);
    // The first writer still owns its pointer until it unlocks (the address sanitizer
    // catches a write into freed storage).
    first[0] = 1.0f;
    second[0] = 2.0f;
    ASSERT_EQ(buffer->Unlock(), D3D_OK);
    ASSERT_EQ(buffer->Unlock(), D3D_OK);

    float* kept = lockFloats(buffer, D3DLOCK_NOOVERWRITE);
    EXPECT_EQ(kept, second);
    EXPECT_EQ(kept[0], 2.0f);
    ASSERT_EQ(buffer->Unlock(), D3D_OK);
    buffer->Release();
}

TEST_F(DiscardTest, DiscardLocksOnceWarmAllocateNothing) {
    IDirect3DVertexBuffer9* buffer = makeVertices(64);
    setDrawRecording(false);  // the record of locks would count
    for (int warmUp = 0; warmUp < 2; ++warmUp) {
        lockFloats(buffer, D3DLOCK_DISCARD);
        buffer->Unlock();
    }
    allocation_counter::start();
    for (int frame = 0; frame < 100; ++frame) {
        lockFloats(buffer, D3DLOCK_DISCARD)[0] = 1.0f;
        buffer->Unlock();
        lockFloats(buffer, D3DLOCK_NOOVERWRITE)[1] = 1.0f;
        buffer->Unlock();
    }
    const std::size_t allocations = allocation_counter::stop();
    setDrawRecording(true);
    EXPECT_EQ(allocations, 0u);
    buffer->Release();
}

}  // namespace
}  // namespace d3d9::testing
