// Checks of every call, injected failures, the names of the codes returned and lifetimes.
#include <dxerr9.h>

#include "input_fixture.h"

namespace dinput8_testing {
namespace {

using dinput8_test::Call;
using dinput8_test::VirtualDevice;
using dinput8_test::VirtualKind;

class CallsTest : public InputLayerTest {};

TEST_F(CallsTest, CreationChecksItsArguments) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0700, IID_IDirectInput8W, &out, nullptr),
              DIERR_OLDDIRECTINPUTVERSION);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0900, IID_IDirectInput8W, &out, nullptr),
              DIERR_BETADIRECTINPUTVERSION);
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0800, IID_IUnknown, &out, nullptr), E_NOINTERFACE);
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0800, IID_IDirectInput8W, nullptr, nullptr), E_POINTER);
}

TEST_F(CallsTest, EnumerationOffersKeyboardAndMouseFirstAndChecksTheFormat) {
    const auto offered = enumerate();
    ASSERT_GE(offered.size(), 2u);
    EXPECT_EQ(offered[0].instance.guidInstance, GUID_SysKeyboard);
    EXPECT_EQ(offered[0].instance.dwDevType & 0xFFu, DI8DEVTYPE_KEYBOARD);
    EXPECT_EQ(offered[1].instance.guidInstance, GUID_SysMouse);
    EXPECT_EQ(offered[0].instance.dwSize, sizeof(DIDEVICEINSTANCEW));

    DIACTIONFORMATW bad = format;
    bad.dwActionSize = 40;  // the 32-bit size: not this layer's structure
    std::vector<Offered> none;
    auto keep = [](LPCDIDEVICEINSTANCEW, LPDIRECTINPUTDEVICE8W, DWORD, DWORD, LPVOID) -> BOOL {
        return DIENUM_CONTINUE;
    };
    EXPECT_EQ(directInput->EnumDevicesBySemantics(nullptr, &bad, keep, nullptr, 0),
              DIERR_INVALIDPARAM);
    EXPECT_EQ(directInput->EnumDevicesBySemantics(nullptr, &format, nullptr, nullptr, 0),
              DIERR_INVALIDPARAM);
    bad = format;
    bad.dwDataSize = 8;
    EXPECT_EQ(directInput->EnumDevicesBySemantics(nullptr, &bad, keep, nullptr, 0),
              DIERR_INVALIDPARAM);
}

TEST_F(CallsTest, EnumerationStopsWhenTheCallbackSaysSo) {
    int calls = 0;
    auto stop = [](LPCDIDEVICEINSTANCEW, LPDIRECTINPUTDEVICE8W, DWORD, DWORD,
                   LPVOID reference) -> BOOL {
        ++*static_cast<int*>(reference);
        return DIENUM_STOP;
    };
    EXPECT_EQ(directInput->EnumDevicesBySemantics(nullptr, &format, stop, &calls, 0), DI_OK);
    EXPECT_EQ(calls, 1);
}

TEST_F(CallsTest, DevicesCheckTheirArgumentsAndState) {
    auto keyboard = device(L"Keyboard");
    EXPECT_EQ(keyboard->Acquire(), DIERR_INVALIDPARAM) << "no action map yet";
    EXPECT_EQ(keyboard->SetCooperativeLevel(window, DISCL_FOREGROUND), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetCooperativeLevel(
                  window, DISCL_NONEXCLUSIVE | DISCL_EXCLUSIVE | DISCL_FOREGROUND),
              DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
              DIERR_INVALIDPARAM);
    ASSERT_TRUE(setUpDevice(keyboard.get()));
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(keyboard->SetActionMap(&format, nullptr, 0), DIERR_ACQUIRED);
    EXPECT_EQ(keyboard->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
              DIERR_ACQUIRED);

    DIDEVICEOBJECTDATA events[4];
    DWORD count = 4;
    EXPECT_EQ(keyboard->GetDeviceData(20, events, &count, 0), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), events, nullptr, 0),
              DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->Poll(), DI_NOEFFECT);

    DIPROPDWORD property{};
    property.diph.dwSize = sizeof property;
    property.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    property.dwData = 10001;
    EXPECT_EQ(keyboard->SetProperty(DIPROP_DEADZONE, &property.diph), DIERR_INVALIDPARAM);
    property.dwData = 500;
    property.diph.dwSize = sizeof(DIPROPHEADER);
    EXPECT_EQ(keyboard->SetProperty(DIPROP_DEADZONE, &property.diph), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetProperty(DIPROP_DEADZONE, nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetProperty(GUID_SysMouse, &property.diph), DIERR_UNSUPPORTED);

    EXPECT_EQ(keyboard->Unacquire(), DI_OK);
    count = 4;
    EXPECT_EQ(keyboard->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), events, &count, 0),
              DIERR_NOTACQUIRED);
}

TEST_F(CallsTest, BuildActionMapFillsOnlyTheActionsTheDeviceTakes) {
    auto mouse = device(L"Mouse");
    EXPECT_EQ(mouse->BuildActionMap(&format, nullptr, 0), DI_OK);
    EXPECT_EQ(actions[kMouseX].guidInstance, GUID_SysMouse);
    EXPECT_EQ(actions[kMouseX].dwObjID, DIDFT_RELAXIS | DIDFT_MAKEINSTANCE(0));
    EXPECT_EQ(actions[kMouseButton2].dwHow, DIAH_DEFAULT);
    EXPECT_EQ(actions[kKeyLeft].dwHow, DIAH_UNMAPPED);
    EXPECT_EQ(actions[kSteer].guidInstance, GUID{});
}

TEST_F(CallsTest, InjectedFailuresHitTheNamedDeviceOnly) {
    dinput8_test::failCall(Call::SetProperty, E_FAIL, L"Mouse");
    dinput8_test::failCall(Call::BuildActionMap, DIERR_INVALIDPARAM, L"Keyboard");
    auto keyboard = device(L"Keyboard");
    auto mouse = device(L"Mouse");
    EXPECT_FALSE(setUpDevice(keyboard.get()));
    EXPECT_FALSE(setUpDevice(mouse.get()));
    dinput8_test::clearFailures();
    ASSERT_TRUE(setUpDevice(keyboard.get()));
    dinput8_test::failCall(Call::GetDeviceData, DIERR_INPUTLOST);
    read(keyboard.get());
    EXPECT_EQ(lastRead, DIERR_INPUTLOST);
}

TEST_F(CallsTest, EveryCodeTheLayerReturnsHasAName) {
    const std::pair<HRESULT, std::string> codes[] = {
        {DI_OK, "S_OK"},
        {DI_NOEFFECT, "S_FALSE"},
        {DI_BUFFEROVERFLOW, "S_FALSE"},
        {DI_PROPNOEFFECT, "S_FALSE"},
        {DIERR_INVALIDPARAM, "E_INVALIDARG"},
        {DIERR_UNSUPPORTED, "E_NOTIMPL"},
        {DIERR_OTHERAPPHASPRIO, "E_ACCESSDENIED"},
        {DIERR_NOTACQUIRED, "DIERR_NOTACQUIRED"},
        {DIERR_INPUTLOST, "DIERR_INPUTLOST"},
        {DIERR_ACQUIRED, "DIERR_ACQUIRED"},
        {DIERR_NOTBUFFERED, "DIERR_NOTBUFFERED"},
        {DIERR_UNPLUGGED, "DIERR_UNPLUGGED"},
        {DIERR_OLDDIRECTINPUTVERSION, "DIERR_OLDDIRECTINPUTVERSION"},
        {DIERR_BETADIRECTINPUTVERSION, "DIERR_BETADIRECTINPUTVERSION"},
        {E_POINTER, "E_POINTER"},
        {E_NOINTERFACE, "E_NOINTERFACE"},
        {CLASS_E_NOAGGREGATION, "CLASS_E_NOAGGREGATION"},
    };
    for (const auto& code : codes) {
        EXPECT_EQ(DXGetErrorString9A(code.first), code.second);
    }
}

TEST_F(CallsTest, ObjectsLiveAsLongAsTheirReferences) {
    const int before = dinput8_test::liveObjects();
    {
        VirtualDevice wheel(VirtualKind::Wheel, 1, 0, "Test Wheel");
        auto offered = enumerate();
        EXPECT_EQ(dinput8_test::liveObjects(), before + static_cast<int>(offered.size()));
    }
    EXPECT_EQ(dinput8_test::liveObjects(), before);
    directInput.reset();
    EXPECT_EQ(dinput8_test::liveObjects(), before - 1);
}

}  // namespace
}  // namespace dinput8_testing
