#include "engine/render/gui/gui_element.h"

#include <algorithm>

#include "engine/render/gui/gui_root.h"

namespace kesh {

GuiElement::GuiElement(GuiRoot* guiRoot, const int rect[4])
    : root(guiRoot), x(rect[0]), y(rect[1]), w(rect[2]), h(rect[3]) {}

GuiElement::~GuiElement() {
    root->forgetElement(this);
}

bool GuiElement::contains(int px, int py) const {
    // In 64 bits: a rectangle reaching past INT_MAX must not wrap round.
    const long long right = static_cast<long long>(x) + w;
    const long long bottom = static_cast<long long>(y) + h;
    return x <= px && px < right && y <= py && py < bottom;
}

void GuiElement::setRect(const int rect[4]) {
    x = rect[0];
    y = rect[1];
    w = rect[2];
    h = rect[3];
}

void cutAt(std::vector<GuiElement*>& list, const GuiElement* element) {
    list.erase(std::find(list.begin(), list.end(), element), list.end());
}

}  // namespace kesh
