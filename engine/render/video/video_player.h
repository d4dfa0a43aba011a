// Shows a frame sequence full-screen at one frame per period. The frame on show is a pure
// function of the time since construction, clamped to the last frame: slow drawing skips
// frames, fast drawing repeats them. Only the frame on show has a texture.
//
// A device listener by shape only: it is never registered, because its textures are managed
// and survive a reset.
#pragma once

#include <d3dx9effect.h>

#include <cstdint>

#include "engine/core/perf_timer.h"
#include "engine/render/device/device_listener.h"
#include "engine/render/device/dx_device.h"
#include "engine/render/quad/quad_vertices.h"
#include "engine/render/video/frame_sequence.h"
#include "win32/com_ptr.h"

namespace kesh {

class VideoPlayer : public DeviceListener {
public:
    // The clock starts here. A period of 0 counts as 1 ms. Neither pointer is owned; the
    // sequence must outlive the player.
    VideoPlayer(DxDevice* device, FrameSequence* sequence, std::uint32_t periodMs);
    VideoPlayer(const VideoPlayer&) = delete;
    VideoPlayer& operator=(const VideoPlayer&) = delete;

    void OnResetDevice() override {}
    void OnLostDevice() override;

    // Once per drawn frame, inside the scene: brings the frame due now on show and draws it
    // with the effect (a clip-space quad, "tex_0" the frame). Throws when the effect cannot
    // run.
    void update(ID3DXEffect* effect);

    // The frame on show; -1 before the first update.
    std::int32_t currentFrame() const { return current; }
    IDirect3DTexture9* currentTexture() const { return texture.get(); }
    const QuadVertex* corners() const { return quad; }
    const FrameSequence* frames() const { return sequence; }

private:
    QuadVertex quad[4];
    FrameSequence* sequence;
    PerfTimer timer;
    std::int64_t start;
    DxDevice* device;
    std::uint32_t period;
    std::int32_t current = -1;
    win32::ComPtr<IDirect3DTexture9> texture;
};

}  // namespace kesh
