#include "game/app/stages/exit_stage.h"

#include <windows.h>

#include "game/app/shell/gui_settings.h"

ExitStage::ExitStage(kesh::DxDevice* device, const std::wstring& folder)
    : guiTextureFolder(folder) {
    GuiSettings settings;
    settings.textureFolder = guiTextureFolder;
    picture = std::make_unique<GuiPictureWidget>(device, settings, "menu_background_exit");
    // The picture's loading does not count against its time on screen.
    timer.update();
    startCount = timer.now.QuadPart;
}

void ExitStage::update() {
    picture->draw();
    timer.update();
    const double shown = static_cast<double>(timer.now.QuadPart - startCount) /
                         static_cast<double>(timer.freq.QuadPart);
    if (shown > kShowSeconds) {
        PostQuitMessage(0);
    }
}
