// The menu screen: a full-screen page with a column of buttons (the main menu, or the
// pause menu in a run) and a help page. A choice is only recorded: the owner polls
// result() once a frame and acts on it.
#pragma once

#include <memory>

#include "engine/render/device/dx_device.h"
#include "engine/render/gui/gui_image.h"
#include "engine/render/gui/gui_root.h"
#include "engine/render/gui/texture_atlas.h"
#include "game/app/shell/gui_settings.h"

class ShellMenu {
public:
    enum Result { Nothing = 0, Exit = 1, Start = 2, Continue = 3 };
    enum ButtonId {
        StartButton = 0,
        ContinueButton = 1,
        HelpButton = 2,
        HelpContinueButton = 3,
        ExitButton = 4
    };
    static constexpr int kEscape = 0x1B;

    // inGame: the pause menu (restart, continue, help, exit) instead of the main menu
    // (start, help, exit). helpFirst: opened on the help page, whose button then continues
    // the run. Throws when the GUI root cannot be made.
    ShellMenu(kesh::DxDevice* device, const GuiSettings& settings, bool inGame, bool helpFirst);
    ~ShellMenu();
    ShellMenu(const ShellMenu&) = delete;
    ShellMenu& operator=(const ShellMenu&) = delete;

    int result() const { return chosen; }
    // Inside the device's scene; the page follows the viewport.
    void draw();

    void onMouseMove(int x, int y);
    void onMouseButton(int button, bool down);
    // Escape shows the main page; other keys do nothing.
    void onKey(int key);
    // The root's callback.
    void onButton(unsigned id, void* user, unsigned event);

    kesh::GuiImage* currentPage() const { return page.get(); }
    bool showsHelp() const { return onHelpPage; }
    kesh::GuiRoot* guiRoot() const { return root.get(); }

private:
    std::unique_ptr<kesh::GuiImage> buildMainPage();
    std::unique_ptr<kesh::GuiImage> buildHelpPage();
    std::unique_ptr<kesh::GuiImage> newPage();
    void replacePage(bool help);

    kesh::DxDevice* device;
    kesh::TextureAtlas atlas;
    std::unique_ptr<kesh::GuiRoot> root;  // outlives the page, whose elements it routes to
    std::unique_ptr<kesh::GuiImage> page;
    GuiSettings settings;
    int chosen = Nothing;
    bool inGame;
    bool helpFirst;
    bool onHelpPage = false;
};
