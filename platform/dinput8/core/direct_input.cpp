// The DirectInput object: creation and the enumeration of devices by semantics.
#include <memory>
#include <vector>

#include "core/action_format.h"
#include "core/device.h"
#include "core/seam_state.h"
#include "sdl/joystick_device.h"
#include "sdl/joystick_subsystem.h"
#include "sdl/scripted_devices.h"
#include "system/system_devices.h"
#include "win32/com_object.h"

namespace dinput8 {

namespace {

// True when the device can take at least one of the format's actions.
bool takesAnAction(Backend& backend, const DIACTIONFORMATW& format) {
    for (DWORD i = 0; i < format.dwNumActions; ++i) {
        DeviceObject object;
        if (backend.map(format.rgoAction[i].dwSemantic, object)) {
            return true;
        }
    }
    return false;
}

class DirectInput : public win32::ComObject<IDirectInput8W> {
public:
    DirectInput() : joysticks_(JoystickSubsystem::acquire()) { objectMade(); }
    ~DirectInput() override { objectDestroyed(); }

    HRESULT QueryInterface(REFIID interfaceId, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (interfaceId == IID_IDirectInput8W || interfaceId == IID_IUnknown) {
            AddRef();
            *object = static_cast<IDirectInput8W*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT EnumDevicesBySemantics(LPCWSTR, LPDIACTIONFORMATW format,
                                   LPDIENUMDEVICESBYSEMANTICSCBW callback, LPVOID reference,
                                   DWORD flags) override {
        if (!validFormat(format) || callback == nullptr || flags != 0) {
            return DIERR_INVALIDPARAM;
        }
        std::vector<std::unique_ptr<Backend>> offered;
        offered.push_back(makeKeyboard());
        offered.push_back(makeMouse());
        if (joysticks_) {
            // Counting looks for devices plugged in since the last enumeration.
            const int count = joysticks_->count();
            for (int i = 0; i < count; ++i) {
                if (std::unique_ptr<Backend> joystick = makeJoystick(joysticks_, i)) {
                    offered.push_back(std::move(joystick));
                }
            }
        }
        std::vector<std::unique_ptr<Backend>> mappable;
        for (std::unique_ptr<Backend>& backend : offered) {
            if (takesAnAction(*backend, *format)) {
                mappable.push_back(std::move(backend));
            }
        }
        for (std::size_t i = 0; i < mappable.size(); ++i) {
            auto* device = new Device(std::move(mappable[i]));
            const DIDEVICEINSTANCEW instance = device->instance();
            const BOOL next = callback(&instance, device, 0,
                                       static_cast<DWORD>(mappable.size() - i - 1), reference);
            // The callback AddRefs what it keeps; the enumerator's own reference goes.
            device->Release();
            if (next == DIENUM_STOP) {
                break;
            }
        }
        return DI_OK;
    }

private:
    std::shared_ptr<JoystickSubsystem> joysticks_;
};

}  // namespace

}  // namespace dinput8

HRESULT DirectInput8Create(HINSTANCE, DWORD version, REFIID interfaceId, LPVOID* out,
                           LPUNKNOWN outer) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    if (version < DIRECTINPUT_VERSION) {
        return DIERR_OLDDIRECTINPUTVERSION;
    }
    if (version > DIRECTINPUT_VERSION) {
        return DIERR_BETADIRECTINPUTVERSION;
    }
    if (interfaceId != IID_IDirectInput8W) {
        return E_NOINTERFACE;
    }
    *out = static_cast<IDirectInput8W*>(new dinput8::DirectInput);
    dinput8::enableScriptedDevices();
    return DI_OK;
}
