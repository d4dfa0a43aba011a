// A push button: its picture and label colour follow the pointer (normal, over, pressed),
// and a release of the left button over it tells the root's callback.
#pragma once

#include <cstdint>
#include <string>

#include "engine/render/gui/gui_element.h"
#include "engine/render/gui/sprite_frame.h"

namespace kesh {

// The looks of a button per state: normal, over, pressed. The colours (red, green, blue,
// alpha) are the label's; the picture is not tinted.
struct ButtonSkin {
    enum State { Normal, Over, Pressed, StateCount };

    TextureRegion regions[StateCount];
    float colors[StateCount][4] = {
        {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}};
};

class Button : public GuiElement {
public:
    // DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_EXPANDTABS.
    static constexpr std::uint32_t kDefaultFormat = 85;

    // rect: left, top, width, height, absolute.
    Button(GuiRoot* root, const int rect[4], const ButtonSkin& skin);

    void onMouseMove(int px, int py) override;
    // Left button only: down over the button presses it and captures the pointer; any other
    // left event releases both and, when the pointer is then over the button, clicks. A
    // click may delete the button: nothing of it is touched afterwards.
    void onMouseButton(int button, bool down) override;
    // The state's picture at the button's size, then the label in the state's colour.
    void draw() override;

    ButtonSkin::State state() const;

    bool hover = false;
    bool pressed = false;
    std::wstring label;
    std::uint32_t fontIndex = 0;
    ButtonSkin skin;
    std::uint32_t id = 0;
    std::uint32_t format = kDefaultFormat;
    void* user = nullptr;  // handed to the callback
};

}  // namespace kesh
