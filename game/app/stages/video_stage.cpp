#include "game/app/stages/video_stage.h"

VideoStage::VideoStage(kesh::DxDevice* device, const std::wstring& videoFile, StageId following)
    : video(std::make_unique<kesh::Video>(device, videoFile, std::wstring(), kFramePeriodMs)),
      next(following) {}

void VideoStage::update() {
    if (video) {
        video->draw();
    }
}

StageId VideoStage::nextStage() {
    return !video || !video->isPlaying() ? next : StageId::None;
}

void VideoStage::onKey(int virtualKey) {
    if (virtualKey == kEscape) {
        video.reset();
    }
}
