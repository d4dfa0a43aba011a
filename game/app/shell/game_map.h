// The map screen of a run: the map over the whole screen, the car's icon where the car is,
// a pulsing, wobbling circle round the target, and a button that closes it. Positions come
// in map coordinates: u and v in 0..1 of the screen.
#pragma once

#include <memory>

#include "engine/render/device/dx_device.h"
#include "engine/render/gui/gui_button.h"
#include "engine/render/gui/gui_root.h"
#include "engine/render/gui/sprite_frame.h"
#include "game/app/shell/gui_settings.h"

class GameMap {
public:
    static constexpr int kIconSize = 40;
    static constexpr int kMarkerSize = 256;
    static constexpr int kPulseSteps = 5;
    static constexpr float kPulsePeriod = 0.2f;
    // Scales msvcrt_rand() to a fraction of a pixel.
    static constexpr float kJitterScale = 8.9409696e-07f;

    GameMap(kesh::DxDevice* device, const GuiSettings& settings, const float carPos[2],
            const float targetPos[2]);
    ~GameMap();
    GameMap(const GameMap&) = delete;
    GameMap& operator=(const GameMap&) = delete;

    // Draws one frame at the run's time t (seconds), inside the device's scene, and moves
    // the pulse on when more than its period has passed since its last step.
    void update(float t);
    // Set once the continue button has been clicked.
    bool done() const { return finished; }

    void onMouseMove(int x, int y);
    void onMouseButton(int button, bool down);
    // The root's callback: the continue button (id 0) closes the map.
    void onButton(unsigned id, void* user, unsigned event);

    int pulseStep() const { return pulse; }
    float jitterX() const { return jitter[0]; }
    float jitterY() const { return jitter[1]; }
    kesh::GuiRoot* guiRoot() const { return root.get(); }
    kesh::Button* button() const { return continueButton.get(); }

private:
    kesh::DxDevice* device;
    std::unique_ptr<kesh::GuiRoot> root;  // outlives the button
    kesh::SpriteFrame background;
    kesh::SpriteFrame carIcon;
    kesh::SpriteFrame marker;
    std::unique_ptr<kesh::Button> continueButton;
    GuiSettings settings;
    float carPos[2];
    float targetPos[2];
    float jitter[2];
    int pulse = 0;
    float lastPulse = 0.0f;
    bool finished = false;
};
