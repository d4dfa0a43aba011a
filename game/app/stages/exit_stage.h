// Stage 5: the farewell picture, up for just over five seconds; from then on every update
// asks the message loop to end, until it does.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/core/perf_timer.h"
#include "engine/render/device/dx_device.h"
#include "game/app/shell/gui_picture_widget.h"
#include "game/app/stages/stage.h"

class ExitStage : public Stage {
public:
    static constexpr double kShowSeconds = 5.0;

    // Throws when the picture cannot be made.
    ExitStage(kesh::DxDevice* device, const std::wstring& guiTextureFolder);

    void onMouseMove(int, int) override {}
    void onMouseWheel(int) override {}
    void onMouseButton(int, bool) override {}
    // Draws the picture; posts the quit message once more than five seconds have passed.
    void update() override;
    StageId nextStage() override { return StageId::None; }
    void onKey(int) override {}

    GuiPictureWidget* pictureWidget() const { return picture.get(); }

private:
    kesh::PerfTimer timer;
    std::int64_t startCount = 0;
    std::wstring guiTextureFolder;
    std::unique_ptr<GuiPictureWidget> picture;
};
