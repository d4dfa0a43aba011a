#include "input_fixture.h"

#include <cwchar>

#include "win32/window_seams.h"

namespace dinput8_testing {

namespace {

struct ActionEntry {
    UINT_PTR appData;
    DWORD semantic;
};

const ActionEntry kActions[kActionCount] = {
    {0, DIAXIS_DRIVINGR_STEER},
    {4, DIAXIS_DRIVINGR_ACCEL_AND_BRAKE},
    {4, DIAXIS_DRIVINGR_ACCELERATE},
    {6, DIAXIS_DRIVINGR_BRAKE},
    {9, DIBUTTON_DRIVINGR_BRAKE},
    {2, DIKEYBOARD_LEFT},
    {3, DIKEYBOARD_RIGHT},
    {7, DIKEYBOARD_UP},
    {8, DIKEYBOARD_DOWN},
    {9, DIKEYBOARD_SPACE},
    {1, DIMOUSE_XAXIS},
    {7, DIMOUSE_BUTTON0},
    {8, DIMOUSE_BUTTON1},
    {9, DIMOUSE_BUTTON2},
};

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

BOOL keep(LPCDIDEVICEINSTANCEW instance, LPDIRECTINPUTDEVICE8W device, DWORD, DWORD,
          LPVOID reference) {
    static_cast<std::vector<Offered>*>(reference)->push_back({*instance, win32::addRef(device)});
    return DIENUM_CONTINUE;
}

}  // namespace

void InputLayerTest::SetUp() {
    dinput8_test::reset();
    win32::useWindowBackend(backend());
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.lpszClassName = L"InputTestWindow";
    RegisterClassExW(&windowClass);
    window = CreateWindowExW(0, L"InputTestWindow", L"Morvale", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                             nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(DirectInput8Create(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8W,
                                 reinterpret_cast<void**>(directInput.out()), nullptr),
              DI_OK);
    for (int i = 0; i < kActionCount; ++i) {
        actions[i].uAppData = kActions[i].appData;
        actions[i].dwSemantic = kActions[i].semantic;
        actions[i].lptszActionName = L"action";
    }
    format.dwSize = sizeof format;
    format.dwActionSize = sizeof(DIACTIONW);
    format.dwDataSize = kActionCount * 4;
    format.dwNumActions = kActionCount;
    format.rgoAction = actions;
    format.dwGenre = DIVIRTUAL_DRIVING_RACE;
    format.dwBufferSize = 16;
    format.lAxisMin = -100;
    format.lAxisMax = 100;
    std::wcscpy(format.tszActionMap, L"Morvale");
}

void InputLayerTest::TearDown() {
    directInput.reset();
    win32::resetWindowSystem();
    dinput8_test::reset();
}

std::vector<Offered> InputLayerTest::enumerate() {
    std::vector<Offered> offered;
    EXPECT_EQ(directInput->EnumDevicesBySemantics(nullptr, &format, keep, &offered, 0), DI_OK);
    return offered;
}

win32::ComPtr<IDirectInputDevice8W> InputLayerTest::device(const std::wstring& name) {
    win32::ComPtr<IDirectInputDevice8W> found;
    for (Offered& offered : enumerate()) {
        if (name == offered.instance.tszInstanceName) {
            EXPECT_FALSE(found) << "two devices named the same";
            found = offered.device;
        }
    }
    EXPECT_TRUE(found) << "no device named so";
    return found;
}

bool InputLayerTest::setUpDevice(IDirectInputDevice8W* device) {
    if (FAILED(device->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND)) ||
        FAILED(device->BuildActionMap(&format, nullptr, 0)) ||
        FAILED(device->SetActionMap(&format, nullptr, 0))) {
        return false;
    }
    DIPROPDWORD deadZone{};
    deadZone.diph.dwSize = sizeof deadZone;
    deadZone.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    deadZone.diph.dwHow = DIPH_DEVICE;
    deadZone.dwData = 500;
    return SUCCEEDED(device->SetProperty(DIPROP_DEADZONE, &deadZone.diph));
}

std::vector<DIDEVICEOBJECTDATA> InputLayerTest::read(IDirectInputDevice8W* device) {
    device->Acquire();
    device->Poll();
    DIDEVICEOBJECTDATA buffer[32];
    DWORD count = 32;
    lastRead = device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), buffer, &count, 0);
    if (FAILED(lastRead)) {
        return {};
    }
    return std::vector<DIDEVICEOBJECTDATA>(buffer, buffer + count);
}

std::vector<std::pair<UINT_PTR, LONG>> values(const std::vector<DIDEVICEOBJECTDATA>& events) {
    std::vector<std::pair<UINT_PTR, LONG>> result;
    for (const DIDEVICEOBJECTDATA& event : events) {
        result.emplace_back(event.uAppData, static_cast<LONG>(event.dwData));
    }
    return result;
}

}  // namespace dinput8_testing
