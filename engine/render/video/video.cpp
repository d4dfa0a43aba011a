#include "engine/render/video/video.h"

#include "engine/core/errors.h"
#include "engine/render/effect/effect_cache.h"

namespace kesh {

Video::Video(DxDevice* dxDevice, const std::wstring& path, const std::wstring&,
             std::uint32_t periodMs)
    : sequence(std::make_unique<FrameSequence>(dxDevice, path)),
      player(std::make_unique<VideoPlayer>(dxDevice, sequence.get(), periodMs)) {}

bool Video::isPlaying() const {
    if (!player) {
        return false;
    }
    return std::int64_t{player->currentFrame()} <= std::int64_t{sequence->frameCount()} - 2;
}

void Video::draw() {
    if (theEffectCache == nullptr) {
        throwRuntimeError(L"Video::draw: no effect cache");
    }
    static const ResourceId effect("video_playback.fx");
    player->update(theEffectCache->fetch(effect));
}

}  // namespace kesh
