// A dynamic buffer discarded every frame, as the quad batcher and sprite batch do: each
// DISCARD hands out zeroed storage other than the last, a lock still open keeps its storage,
// and once warm no lock touches the heap.
#include <d3d9/seams.h>

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

TEST_F(DiscardTest, EachFrameGetsZeroedStorageOtherThanTheLastAndOnceWarmNoHeap) {
    IDirect3DVertexBuffer9* buffer = makeVertices(64);
    setDrawRecording(false);  // the record of locks would count
    float* previous = nullptr;
    for (int warmUp = 0; warmUp < 2; ++warmUp) {  // the first discard makes the second block
        previous = lockFloats(buffer, D3DLOCK_DISCARD);
        buffer->Unlock();
    }
    bool fresh = true;
    allocation_counter::start();
    for (int frame = 0; frame < 100; ++frame) {
        float* data = lockFloats(buffer, D3DLOCK_DISCARD);
        fresh = fresh && data != previous && data[0] == 0.0f && data[64 * 5 - 1] == 0.0f;
        data[0] = 1.0f;
        data[64 * 5 - 1] = 1.0f;
        buffer->Unlock();
        // NOOVERWRITE keeps the storage and what was written.
        fresh = fresh && lockFloats(buffer, D3DLOCK_NOOVERWRITE) == data && data[0] == 1.0f;
        buffer->Unlock();
        previous = data;
    }
    const std::size_t allocations = allocation_counter::stop();
    setDrawRecording(true);
    EXPECT_TRUE(fresh);
    EXPECT_EQ(allocations, 0u);
    buffer->Release();
}

}  // namespace
}  // namespace d3d9::testing
