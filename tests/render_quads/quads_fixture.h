// The shared services over the null device, with helpers to read what the device recorded
// and to put the device through a loss and reset.
#pragma once

#include <d3d9/records.h>
#include <d3d9/seams.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "tests/support/art_files.h"
#include "tests/support/services_fixture.h"

namespace kesh::testing {

// The 16-bit contents of an index buffer.
inline std::vector<std::uint16_t> readIndices(IDirect3DIndexBuffer9* buffer) {
    D3DINDEXBUFFER_DESC desc{};
    buffer->GetDesc(&desc);
    void* data = nullptr;
    std::vector<std::uint16_t> indices;
    if (FAILED(buffer->Lock(0, 0, &data, D3DLOCK_READONLY))) {
        return indices;
    }
    const auto* words = static_cast<const std::uint16_t*>(data);
    indices.assign(words, words + desc.Size / 2);
    buffer->Unlock();
    return indices;
}

// The pattern 4k, 4k+1, 4k+2, 4k, 4k+2, 4k+3 over quads.
inline std::vector<std::uint16_t> quadPattern(unsigned quads) {
    std::vector<std::uint16_t> pattern;
    for (unsigned k = 0; k < quads; ++k) {
        for (unsigned offset : {0u, 1u, 2u, 0u, 2u, 3u}) {
            pattern.push_back(static_cast<std::uint16_t>(4 * k + offset));
        }
    }
    return pattern;
}

using morvale_testing::solidDds;

class QuadsTest : public morvale_testing::ServicesTest {
protected:
    using ServicesTest::ServicesTest;

    d3d9::DeviceRecord& record() { return *d3d9::deviceRecord(device); }
    const std::deque<d3d9::RecordedDraw>& draws() { return record().draws; }

    // A loss seen by the pump and the reset that follows it, as the game goes through them.
    void loseAndResetDevice() {
        d3d9::scriptCooperativeLevel(device, {D3DERR_DEVICENOTRESET, D3DERR_DEVICENOTRESET});
        dx->checkCooperativeLevel();
        ASSERT_FALSE(dx->isLost());
    }
};

}  // namespace kesh::testing
