// A ".rs" video played once, full-screen, from the moment it is made: its frames and the
// player that shows them with the effect "video_playback.fx". No sound belongs to it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/render/device/dx_device.h"
#include "engine/render/video/frame_sequence.h"
#include "engine/render/video/video_player.h"

namespace kesh {

class Video {
public:
    // The second path is not read. A missing file gives a video that has ended at once.
    Video(DxDevice* device, const std::wstring& path, const std::wstring& unused,
          std::uint32_t periodMs);
    Video(const Video&) = delete;
    Video& operator=(const Video&) = delete;

    // True until the first update that shows the last frame (so true before any draw, and
    // false at once for a video without frames).
    bool isPlaying() const;
    // Inside the scene. Throws when there is no effect cache or the effect cannot run.
    void draw();

    VideoPlayer* videoPlayer() const { return player.get(); }
    FrameSequence* frameSequence() const { return sequence.get(); }

private:
    // The sequence is declared first so that the player, which reads it, goes first.
    std::unique_ptr<FrameSequence> sequence;
    std::unique_ptr<VideoPlayer> player;
};

}  // namespace kesh
