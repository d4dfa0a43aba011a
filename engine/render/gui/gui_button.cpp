#include "engine/render/gui/gui_button.h"

#include "engine/render/gui/gui_root.h"
#include "engine/render/log_lines.h"

namespace kesh {

Button::Button(GuiRoot* guiRoot, const int rect[4], const ButtonSkin& buttonSkin)
    : GuiElement(guiRoot, rect), skin(buttonSkin) {}

void Button::onMouseMove(int px, int py) {
    hover = contains(px, py);
}

void Button::onMouseButton(int button, bool down) {
    if (button != 1) {
        return;
    }
    if (down && hover) {
        pressed = true;
        root->setCapture(this);
        return;
    }
    pressed = false;
    // Recomputes the hover at the last pointer position.
    root->setCapture(nullptr);
    if (!hover) {
        return;
    }
    writeLine(boost::log::logDebug(), "button.clicked: ", 1);
    // The callback may delete this button's page, and the button with it: the call is the
    // last thing done here.
    root->fireCallback(id, user, GuiRoot::kClicked);
}

ButtonSkin::State Button::state() const {
    if (pressed) {
        return ButtonSkin::Pressed;
    }
    return hover ? ButtonSkin::Over : ButtonSkin::Normal;
}

void Button::draw() {
    const ButtonSkin::State current = state();
    SpriteBatch* batch = root->spriteBatch();
    const int size[2] = {w, h};
    batch->addSprite(x, y, 0, SpriteFrame(skin.regions[current], size));
    const int box[4] = {x + 2, y + 2, x + w, y + h};
    batch->addText(box, 0, label, root->font(fontIndex), skin.colors[current], format);
}

}  // namespace kesh
