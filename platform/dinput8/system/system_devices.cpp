#include "system/system_devices.h"

#include <cwchar>

#include "core/input_hub.h"

namespace dinput8 {

namespace {

constexpr DWORD kKeyboardSemantics = 0x81000400u;
constexpr DWORD kMouseButton0 = DIMOUSE_BUTTON0;
constexpr int kMouseButtons = 3;

DIDEVICEINSTANCEW systemInstance(const GUID& guid, DWORD type, const wchar_t* name) {
    DIDEVICEINSTANCEW instance{};
    instance.dwSize = sizeof instance;
    instance.guidInstance = guid;
    instance.guidProduct = guid;
    instance.dwDevType = type;
    std::wcsncpy(instance.tszInstanceName, name, 259);
    std::wcsncpy(instance.tszProductName, name, 259);
    return instance;
}

class Keyboard : public Backend {
public:
    Keyboard() : instance_(systemInstance(GUID_SysKeyboard, DI8DEVTYPE_KEYBOARD, L"Keyboard")) {}

    const DIDEVICEINSTANCEW& instance() const override { return instance_; }

    bool map(DWORD semantic, DeviceObject& object) override {
        const DWORD dik = semantic & 0xFFu;
        if ((semantic & ~0xFFu) != kKeyboardSemantics || dik == 0) {
            return false;
        }
        object.id = DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(dik);
        object.kind = ObjectKind::Button;
        return true;
    }

    bool kindOf(DWORD id, ObjectKind& kind) const override {
        if ((id & 0xFFu) != DIDFT_PSHBUTTON || DIDFT_GETINSTANCE(id) > 0xFFu) {
            return false;
        }
        kind = ObjectKind::Button;
        return true;
    }

    bool polled() const override { return false; }

    RawValue read(DWORD id) const override {
        const bool down = InputHub::instance().keyDown(static_cast<BYTE>(DIDFT_GETINSTANCE(id)));
        return {down ? 1 : 0, 0, 1};
    }

private:
    DIDEVICEINSTANCEW instance_;
};

class Mouse : public Backend {
public:
    Mouse() : instance_(systemInstance(GUID_SysMouse, DI8DEVTYPE_MOUSE, L"Mouse")) {}

    const DIDEVICEINSTANCEW& instance() const override { return instance_; }

    bool map(DWORD semantic, DeviceObject& object) override {
        if (semantic == DIMOUSE_XAXIS) {
            object.id = DIDFT_RELAXIS | DIDFT_MAKEINSTANCE(0);
            object.kind = ObjectKind::RelativeAxis;
            return true;
        }
        if (semantic >= kMouseButton0 && semantic < kMouseButton0 + kMouseButtons) {
            object.id = DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(semantic - kMouseButton0);
            object.kind = ObjectKind::Button;
            return true;
        }
        return false;
    }

    bool kindOf(DWORD id, ObjectKind& kind) const override {
        const DWORD index = DIDFT_GETINSTANCE(id);
        if ((id & 0xFFu) == DIDFT_RELAXIS && index == 0) {
            kind = ObjectKind::RelativeAxis;
            return true;
        }
        if ((id & 0xFFu) == DIDFT_PSHBUTTON && index < kMouseButtons) {
            kind = ObjectKind::Button;
            return true;
        }
        return false;
    }

    bool polled() const override { return false; }

    RawValue read(DWORD id) const override {
        const bool down = InputHub::instance().buttonDown(static_cast<int>(DIDFT_GETINSTANCE(id)));
        return {down ? 1 : 0, 0, 1};
    }

private:
    DIDEVICEINSTANCEW instance_;
};

}  // namespace

std::unique_ptr<Backend> makeKeyboard() {
    return std::make_unique<Keyboard>();
}

std::unique_ptr<Backend> makeMouse() {
    return std::make_unique<Mouse>();
}

}  // namespace dinput8
