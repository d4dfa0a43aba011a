#include "game/app/stages/video_stage.h"

VideoStage::VideoStage(kesh::DxDevice* device, const std::wstring& videoFile, int nextNumber)
    : video(std::make_unique<kesh::Video>(device, videoFile, std::wstring(), kFramePeriodMs)),
      next(nextNumber) {}

void VideoStage::update() {
    if (video) {
        video->draw();
    }
}

int VideoStage::nextStage() {
    return !video || !video->isPlaying() ? next : 0;
}

void VideoStage::onKey(int virtualKey) {
    if (virtualKey == kEscape) {
        video.reset();
    }
}
