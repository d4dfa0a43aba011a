#include "game/app/stages/menu_stage.h"

#include "game/app/shell/gui_settings.h"

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
            next = StageId::Exit;
            break;
        case ShellMenu::Start:
            next = StageId::SecondVideo;
            break;
        case ShellMenu::Continue:
            next = StageId::Play;
            break;
        default:
            menu->draw();
            break;
    }
}
