// Stages 2 and 3: one ".rs" video at 40 ms a frame, skipped with Escape. When the video has
// ended or was skipped the stage asks for the stage that follows it.
#pragma once

#include <memory>
#include <string>

#include "engine/render/device/dx_device.h"
#include "engine/render/video/video.h"
#include "game/app/stages/stage.h"

class VideoStage : public Stage {
public:
    static constexpr std::uint32_t kFramePeriodMs = 40;
    static constexpr int kEscape = 0x1B;

    VideoStage(kesh::DxDevice* device, const std::wstring& videoFile, StageId next);

    void onMouseMove(int, int) override {}
    void onMouseWheel(int) override {}
    void onMouseButton(int, bool) override {}
    // Draws the video; nothing once there is none.
    void update() override;
    StageId nextStage() override;
    // Escape drops the video; other keys do nothing.
    void onKey(int virtualKey) override;

    kesh::Video* currentVideo() const { return video.get(); }

private:
    std::unique_ptr<kesh::Video> video;  // null once skipped
    StageId next;
};
