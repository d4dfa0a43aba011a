// A GUI element that shows one sprite frame, tinted, and owns the elements placed on it
// (usually a page's buttons).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/render/gui/gui_button.h"
#include "engine/render/gui/gui_element.h"
#include "engine/render/gui/sprite_frame.h"

namespace kesh {

class GuiImage : public GuiElement {
public:
    // rect: left, top, width, height. Shows nothing until a frame is set.
    GuiImage(GuiRoot* root, const int rect[4]);
    // Deletes the owned elements in the order added.
    ~GuiImage() override;

    // Pointer events are the children's business.
    void onMouseMove(int, int) override {}
    void onMouseButton(int, bool) override {}
    // The frame at the image's current size, when it names a texture.
    void draw() override;

    // The child is drawn and deleted with the image.
    virtual void addChild(std::unique_ptr<GuiElement> child);
    // rect relative to this image; the button is owned by the image.
    Button* addButton(const int rect[4], const ButtonSkin& skin, std::uint32_t id, void* user,
                      const std::wstring& label, std::uint32_t fontIndex, std::uint32_t format);
    // The region at the image's current size, and its tint.
    void setFrame(const TextureRegion& region, const float tint[4]);

    std::vector<std::unique_ptr<GuiElement>> owned;
    SpriteFrame frame;
    float tint[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};

}  // namespace kesh
