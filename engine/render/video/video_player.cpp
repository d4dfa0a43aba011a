#include "engine/render/video/video_player.h"

#include "engine/core/errors.h"
#include "engine/core/log.h"
#include "engine/render/effect/effect_parameters.h"
#include "engine/render/effect/effect_pass.h"
#include "engine/render/log_lines.h"

namespace kesh {
namespace {

constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFF;

// The smallest power of two not below size, as the frame textures are made.
std::uint32_t textureSide(std::uint32_t size) {
    std::uint64_t side = 1;
    while (side < size) {
        side <<= 1;
    }
    return static_cast<std::uint32_t>(side <= 0x80000000u ? side : 0x80000000u);
}

}  // namespace

VideoPlayer::VideoPlayer(DxDevice* dxDevice, FrameSequence* frames, std::uint32_t periodMs)
    : sequence(frames),
      start(timer.now.QuadPart),
      device(dxDevice),
      period(periodMs == 0 ? 1 : periodMs) {
    std::uint32_t width = 0, height = 0;
    sequence->frameSize(width, height);
    // The image fills the top-left corner of its power-of-two texture.
    const float u = static_cast<float>(double(width) / textureSide(width));
    const float v = static_cast<float>(double(height) / textureSide(height));
    quad[0] = QuadVertex{-1.0f, 1.0f, 0.5f, kOpaqueWhite, 0.0f, 0.0f};
    quad[1] = QuadVertex{-1.0f, -1.0f, 0.5f, kOpaqueWhite, 0.0f, v};
    quad[2] = QuadVertex{1.0f, 1.0f, 0.5f, kOpaqueWhite, u, 0.0f};
    quad[3] = QuadVertex{1.0f, -1.0f, 0.5f, kOpaqueWhite, u, v};
}

void VideoPlayer::OnLostDevice() {
    texture.reset();
}

void VideoPlayer::update(ID3DXEffect* effect) {
    timer.update();
    const std::uint64_t ticks = static_cast<std::uint64_t>(timer.now.QuadPart - start);
    const std::uint64_t elapsedMs = ticks * 1000u / static_cast<std::uint64_t>(timer.freq.QuadPart);
    std::uint32_t frame = static_cast<std::uint32_t>(elapsedMs) / period;
    const std::uint32_t count = sequence->frameCount();
    if (frame >= count) {
        // With no frames at all this is -1, the frame already on show: nothing is fetched.
        frame = count - 1;
    }
    if (static_cast<std::int32_t>(frame) != current) {
        texture.reset();
        texture = sequence->frame(frame);
        current = static_cast<std::int32_t>(frame);
    }
    const bool finished = std::int64_t{current} > std::int64_t{count} - 2;
    writeLine(boost::log::logScreen(), "reANIMATOR: ", current, texture ? " OK" : " NO",
              finished ? " finished" : " playing");

    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    effect->SetMatrix(fx::kWorldViewProjection, &identity);
    effect->SetTexture(fx::kTexture0, texture.get());
    IDirect3DDevice9* d3d = device->getDevice();
    d3d->SetFVF(QuadVertex::kFvf);
    EffectPass pass(effect, D3DXFX_DONOTSAVESTATE);
    while (pass.current < pass.count) {
        const HRESULT result = d3d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
        if (FAILED(result)) {
            effect->SetTexture(fx::kTexture0, nullptr);
            throwDxError(result, L"VideoPlayer: DrawPrimitiveUP failed");
        }
        pass.next();
    }
    pass.end();
    effect->SetTexture(fx::kTexture0, nullptr);
}

}  // namespace kesh
