#include "engine/render/gui/gui_root.h"

#include <algorithm>
#include <utility>

namespace kesh {

GuiRoot::GuiRoot(DxDevice* dxDevice, std::string effect)
    : effectName(std::move(effect)),
      device(dxDevice),
      batch(std::make_unique<SpriteBatch>(dxDevice, effectName)) {
    fonts[0] = std::make_unique<Font>(device, FontDesc{10, "Tahoma"});
    fonts[1] = std::make_unique<Font>(device, FontDesc{16, "Tahoma"});
}

GuiRoot::~GuiRoot() = default;

Font* GuiRoot::font(std::uint32_t index) const {
    return index < kFontCount ? fonts[index].get() : nullptr;
}

void GuiRoot::addElement(GuiElement* element) {
    elements.push_back(element);
    onMouseMove(lastX, lastY);
}

void GuiRoot::removeElement(GuiElement* element) {
    cutAt(elements, element);
}

void GuiRoot::setCallback(GuiCallback newCallback) {
    callback = std::move(newCallback);
}

void GuiRoot::fireCallback(std::uint32_t id, void* user, std::uint32_t event) {
    if (callback.empty()) {
        return;
    }
    // A copy: the owner may replace the callback from inside it.
    const GuiCallback call = callback;
    call(id, user, event);
}

void GuiRoot::setCapture(GuiElement* element) {
    captured = element;
    hovered = nullptr;
    if (element == nullptr) {
        onMouseMove(lastX, lastY);
    }
}

void GuiRoot::forgetElement(GuiElement* element) {
    elements.erase(std::remove(elements.begin(), elements.end(), element), elements.end());
    setCapture(nullptr);
}

GuiElement* GuiRoot::hitTest(GuiElement* element, int x, int y) {
    if (captured == nullptr || captured == element) {
        element->onMouseMove(x, y);
    }
    if (!element->contains(x, y)) {
        return nullptr;
    }
    for (GuiElement* child : element->children) {
        if (GuiElement* hit = hitTest(child, x, y)) {
            return hit;
        }
    }
    return element;
}

void GuiRoot::onMouseMove(int x, int y) {
    lastX = x;
    lastY = y;
    if (captured != nullptr && captured->visible) {
        GuiElement* before = captured;
        captured->onMouseMove(x, y);
        if (captured == before) {
            return;
        }
    }
    if (hovered != nullptr && hovered->visible) {
        hovered->onMouseMove(x, y);
    }
    hovered = nullptr;
    for (GuiElement* element : elements) {
        if (!element->visible) {
            continue;
        }
        GuiElement* hit = hitTest(element, x, y);
        if (hovered == nullptr) {
            hovered = hit;
        }
    }
}

void GuiRoot::onMouseButton(int button, bool down) {
    GuiElement* target = nullptr;
    if (captured != nullptr && captured->visible) {
        target = captured;
    } else if (hovered != nullptr && hovered->visible) {
        target = hovered;
    }
    if (target != nullptr) {
        // The last thing done here: a click's callback may delete the target's page.
        target->onMouseButton(button, down);
    }
}

void GuiRoot::drawTree(GuiElement* element) {
    if (!element->visible) {
        return;
    }
    element->draw();
    for (GuiElement* child : element->children) {
        drawTree(child);
    }
}

void GuiRoot::render() {
    batch->clear();
    for (GuiElement* element : elements) {
        drawTree(element);
    }
    batch->flush();
}

}  // namespace kesh
