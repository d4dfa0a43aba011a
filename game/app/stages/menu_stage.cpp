#include "game/app/stages/menu_stage.h"

#include "game/app/shell/gui_settings.h"

namespace {

constexpr int kExitStage = 5;
constexpr int kSecondVideoStage = 3;
constexpr int kPlayStage = 4;

}  // namespace

MenuStage::MenuStage(kesh::DxDevice* device, const std::wstring& folder)
    : guiTextureFolder(folder) {
    GuiSettings settings;
    settings.textureFolder = guiTextureFolder;
    menu = std::make_unique<ShellMenu>(device, settings, false, false);
}

void MenuStage::onMouseMove(int x, int y) {
    if (menu) {
        menu->onMouseMove(x, y);
    }
}

void MenuStage::onMouseButton(int button, bool down) {
    if (menu) {
        menu->onMouseButton(button, down);
    }
}

void MenuStage::onKey(int virtualKey) {
    if (menu) {
        menu->onKey(virtualKey);
    }
}

void MenuStage::update() {
    switch (menu->result()) {
        case ShellMenu::Exit:
            next = kExitStage;
            break;
        case ShellMenu::Start:
            next = kSecondVideoStage;
            break;
        case ShellMenu::Continue:
            next = kPlayStage;
            break;
        default:
            menu->draw();
            break;
    }
}
