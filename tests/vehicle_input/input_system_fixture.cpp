#include "input_system_fixture.h"

namespace vehicle_input_testing {

namespace {

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void InputSystemTest::SetUp() {
    dinput8_test::reset();
    win32::useWindowBackend(win32::WindowBackendKind::Headless);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.lpszClassName = L"GameApplicationWindow";
    RegisterClassExW(&windowClass);
    window = CreateWindowExW(0, L"GameApplicationWindow", L"Morvale", WS_OVERLAPPEDWINDOW, 0, 0,
                             800, 600, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
}

void InputSystemTest::TearDown() {
    input.reset();
    win32::resetWindowSystem();
    dinput8_test::reset();
}

void InputSystemTest::start() {
    input.reset();
    input = std::make_unique<InputSystem>(window);
    input->keySensitivity = 0.25;
    poll();
}

DrivingInput InputSystemTest::poll() {
    DrivingInput out;
    input->poll(out);
    return out;
}

void InputSystemTest::moveMouse(int dx) {
    pointerX += dx;
    win32::simulateMouseMove(window, pointerX, 0);
}

}  // namespace vehicle_input_testing
