// Stage 1: the shell's main menu (start, help, exit). A choice made in the menu is acted on
// in the next update: the menu is not drawn again and the stage asks for the exit screen,
// the second video or the play stage.
#pragma once

#include <memory>
#include <string>

#include "engine/render/device/dx_device.h"
#include "game/app/shell/shell_menu.h"
#include "game/app/stages/stage.h"

class MenuStage : public Stage {
public:
    // Throws when the menu cannot be made.
    MenuStage(kesh::DxDevice* device, const std::wstring& guiTextureFolder);

    void onMouseMove(int x, int y) override;
    void onMouseWheel(int) override {}
    void onMouseButton(int button, bool down) override;
    void update() override;
    StageId nextStage() override { return next; }
    void onKey(int virtualKey) override;

    ShellMenu* shellMenu() const { return menu.get(); }

private:
    std::wstring guiTextureFolder;
    std::unique_ptr<ShellMenu> menu;
    StageId next = StageId::None;
};
