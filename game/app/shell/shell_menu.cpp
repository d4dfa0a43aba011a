#include "game/app/shell/shell_menu.h"

#include <boost/bind/bind.hpp>

#include <iterator>
#include <string>

#include "engine/render/texture/texture_loader.h"
#include "game/app/shell/shell_art.h"

namespace {

constexpr float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

struct MenuRow {
    const char* name;
    ShellMenu::ButtonId id;
};

// Rows in the 1024 x 768 frame.
constexpr int kRowLeft = 85;
constexpr int kRowStep = 56;
constexpr int kMainMenuTop = 503;
constexpr int kPauseMenuTop = 447;

constexpr MenuRow kMainMenuRows[] = {{"start", ShellMenu::StartButton},
                                     {"help", ShellMenu::HelpButton},
                                     {"exit", ShellMenu::ExitButton}};
constexpr MenuRow kPauseMenuRows[] = {{"restart", ShellMenu::StartButton},
                                      {"continue", ShellMenu::ContinueButton},
                                      {"help", ShellMenu::HelpButton},
                                      {"exit", ShellMenu::ExitButton}};

}  // namespace

ShellMenu::ShellMenu(kesh::DxDevice* device, const GuiSettings& settings, bool inGame,
                     bool helpFirst)
    : device(device), settings(settings), inGame(inGame), helpFirst(helpFirst) {
    root = std::make_unique<kesh::GuiRoot>(device, settings.effect);
    loadShellAtlas(settings, atlas);
    using namespace boost::placeholders;
    root->setCallback(boost::bind(&ShellMenu::onButton, this, _1, _2, _3));
    page = helpFirst ? buildHelpPage() : buildMainPage();
    onHelpPage = helpFirst;
    root->addElement(page.get());
}

ShellMenu::~ShellMenu() {
    root->removeElement(page.get());
    page.reset();
}

void ShellMenu::draw() {
    const D3DVIEWPORT9& viewport = device->getViewport();
    const int rect[4] = {static_cast<int>(viewport.X), static_cast<int>(viewport.Y),
                         static_cast<int>(viewport.Width), static_cast<int>(viewport.Height)};
    page->setRect(rect);
    root->render();
}

void ShellMenu::onMouseMove(int x, int y) {
    root->onMouseMove(x, y);
}

void ShellMenu::onMouseButton(int button, bool down) {
    root->onMouseButton(button, down);
}

void ShellMenu::onKey(int key) {
    if (key == kEscape) {
        replacePage(false);
    }
}

void ShellMenu::onButton(unsigned id, void* /*user*/, unsigned /*event*/) {
    switch (id) {
        case StartButton:
            chosen = Start;
            break;
        case ContinueButton:
            chosen = Continue;
            break;
        case HelpButton:
            replacePage(true);
            break;
        case HelpContinueButton:
            if (helpFirst) {
                chosen = Continue;
            } else {
                replacePage(false);
            }
            break;
        case ExitButton:
            chosen = Exit;
            break;
        default:
            break;
    }
}

std::unique_ptr<kesh::GuiImage> ShellMenu::newPage() {
    const D3DVIEWPORT9& viewport = device->getViewport();
    const int rect[4] = {static_cast<int>(viewport.X), static_cast<int>(viewport.Y),
                         static_cast<int>(viewport.Width), static_cast<int>(viewport.Height)};
    return std::make_unique<kesh::GuiImage>(root.get(), rect);
}

std::unique_ptr<kesh::GuiImage> ShellMenu::buildMainPage() {
    std::unique_ptr<kesh::GuiImage> built = newPage();
    const kesh::SpriteSource source(kesh::theTextureCache, &atlas);
    const ReferenceFrame frame(device->getViewport());
    const MenuRow* rows = inGame ? kPauseMenuRows : kMainMenuRows;
    const std::size_t count = inGame ? std::size(kPauseMenuRows) : std::size(kMainMenuRows);
    // The step is truncated once and added to the truncated row above, so both menus end
    // on the same last row.
    const int step = frame.y(kRowStep);
    int top = frame.y(inGame ? kPauseMenuTop : kMainMenuTop);
    for (std::size_t i = 0; i < count; ++i, top += step) {
        const int rect[4] = {frame.x(kRowLeft), top, frame.x(kButtonWidth), frame.y(kButtonHeight)};
        built->addButton(rect, shellButtonSkin(source, rows[i].name), rows[i].id, nullptr, L"", 1,
                         0);
    }
    built->setFrame(source.region(inGame ? "menu_background_restart" : "menu_background_start"),
                    kWhite);
    return built;
}

std::unique_ptr<kesh::GuiImage> ShellMenu::buildHelpPage() {
    std::unique_ptr<kesh::GuiImage> built = newPage();
    const kesh::SpriteSource source(kesh::theTextureCache, &atlas);
    int rect[4];
    ReferenceFrame(device->getViewport()).rect(kPageContinueButton, rect);
    built->addButton(rect, shellButtonSkin(source, "continue"), HelpContinueButton, nullptr, L"", 1,
                     0);
    built->setFrame(source.region("menu_help_background"), kWhite);
    return built;
}

void ShellMenu::replacePage(bool help) {
    // Called from inside a button of the old page: the button does nothing after its
    // callback, so its page may go here.
    root->removeElement(page.get());
    std::unique_ptr<kesh::GuiImage> next = help ? buildHelpPage() : buildMainPage();
    page = std::move(next);
    onHelpPage = help;
    root->addElement(page.get());
}
