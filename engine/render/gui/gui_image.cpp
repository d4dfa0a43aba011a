#include "engine/render/gui/gui_image.h"

#include <algorithm>
#include <utility>

#include "engine/render/gui/gui_root.h"

namespace kesh {

GuiImage::GuiImage(GuiRoot* guiRoot, const int rect[4]) : GuiElement(guiRoot, rect) {}

GuiImage::~GuiImage() {
    for (std::unique_ptr<GuiElement>& element : owned) {
        // Out of the children first: a child's destructor lets the root recompute the hover
        // over the tree, which must not reach the child being deleted.
        cutAt(children, element.get());
        element.reset();
    }
}

void GuiImage::draw() {
    if (frame.texture.empty()) {
        return;
    }
    frame.width = w;
    frame.height = h;
    root->spriteBatch()->addTintedSprite(x, y, 0, frame, tint);
}

void GuiImage::addChild(std::unique_ptr<GuiElement> child) {
    GuiElement* element = child.get();
    owned.push_back(std::move(child));
    children.push_back(element);
}

Button* GuiImage::addButton(const int rect[4], const ButtonSkin& skin, std::uint32_t id, void* user,
                            const std::wstring& label, std::uint32_t fontIndex,
                            std::uint32_t format) {
    const int placed[4] = {rect[0] + x, rect[1] + y, rect[2], rect[3]};
    auto made = std::make_unique<Button>(root, placed, skin);
    Button* button = made.get();
    button->label = label;
    button->id = id;
    button->user = user;
    button->fontIndex = fontIndex;
    button->format = format;
    addChild(std::move(made));
    return button;
}

void GuiImage::setFrame(const TextureRegion& region, const float newTint[4]) {
    const int size[2] = {w, h};
    frame = SpriteFrame(region, size);
    std::copy(newTint, newTint + 4, tint);
}

}  // namespace kesh
