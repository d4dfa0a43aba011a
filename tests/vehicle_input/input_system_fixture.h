// An input system over a headless window, with the play stage's key sensitivity.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include <windows.h>

#include "dinput8/test_seam.h"
#include "game/vehicle/input/input_system.h"
#include "win32/window_seams.h"

namespace vehicle_input_testing {

class InputSystemTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new input system (devices plugged in since are enumerated), polled once so that
    // every device is acquired.
    void start();
    DrivingInput poll();
    void key(WPARAM virtualKey, bool down) { win32::simulateKey(window, virtualKey, down); }
    // Moves the mouse right by dx from where it is.
    void moveMouse(int dx);

    HWND window = nullptr;
    std::unique_ptr<InputSystem> input;
    int pointerX = 0;
};

}  // namespace vehicle_input_testing
