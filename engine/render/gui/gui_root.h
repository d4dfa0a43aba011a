// The drawing resources and the pointer routing of one GUI screen: a sprite batch, the two
// label fonts, the top-level elements (not owned) and the callback that hears of clicks.
// Pointer positions are client-area pixels.
#pragma once

#include <boost/function.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/render/device/dx_device.h"
#include "engine/render/gui/font.h"
#include "engine/render/gui/gui_element.h"
#include "engine/render/gui/sprite_batch.h"

namespace kesh {

// (button id, the button's user pointer, event); event 1 is a click.
using GuiCallback = boost::function<void(unsigned, void*, unsigned)>;

class GuiRoot {
public:
    static constexpr std::uint32_t kClicked = 1;
    static constexpr std::uint32_t kFontCount = 2;

    // Builds the sprite batch over the effect and the fonts "Tahoma" 10 pt (index 0) and
    // 16 pt (index 1). Throws when either cannot be made.
    GuiRoot(DxDevice* device, std::string effectName);
    // The elements must have been deleted before.
    ~GuiRoot();
    GuiRoot(const GuiRoot&) = delete;
    GuiRoot& operator=(const GuiRoot&) = delete;

    SpriteBatch* spriteBatch() const { return batch.get(); }
    // Null for an index other than 0 or 1.
    Font* font(std::uint32_t index) const;

    // The new element is hit-tested at the last pointer position at once, so a page shown
    // under a resting pointer takes a click without a move first.
    void addElement(GuiElement* element);
    // Cuts the list at the first occurrence: that element and all after it leave the list.
    // Nothing is deleted.
    void removeElement(GuiElement* element);
    void setCallback(GuiCallback callback);
    // An empty callback is ignored.
    void fireCallback(std::uint32_t id, void* user, std::uint32_t event);
    // The element gets the pointer exclusively, and nothing is hovered while it holds it;
    // null releases it and recomputes the hover states at the last pointer position.
    void setCapture(GuiElement* element);

    void onMouseMove(int x, int y);
    // To the captured element, else to the hovered one, when visible.
    void onMouseButton(int button, bool down);
    // Clears the batch, queues every visible element tree in list order, flushes.
    void render();

    // From an element's destructor: it leaves the list (alone) and the capture is released.
    void forgetElement(GuiElement* element);

    const std::vector<GuiElement*>& topLevel() const { return elements; }
    GuiElement* capturedElement() const { return captured; }
    GuiElement* hoveredElement() const { return hovered; }
    int lastPointerX() const { return lastX; }
    int lastPointerY() const { return lastY; }

private:
    GuiElement* hitTest(GuiElement* element, int x, int y);
    void drawTree(GuiElement* element);

    std::vector<GuiElement*> elements;
    std::string effectName;
    DxDevice* device;
    std::unique_ptr<SpriteBatch> batch;
    // Each font leaves the device's listeners in its own destructor.
    std::unique_ptr<Font> fonts[kFontCount];
    int lastX = -1000;
    int lastY = -1000;
    GuiElement* captured = nullptr;
    GuiElement* hovered = nullptr;
    GuiCallback callback;
};

}  // namespace kesh
