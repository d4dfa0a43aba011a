#include "core/device.h"

#include <utility>

#include "core/action_format.h"
#include "core/input_hub.h"
#include "core/seam_state.h"

namespace dinput8 {

namespace {

constexpr DWORD kCooperationFlags =
    DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND;

bool exactlyOne(DWORD flags, DWORD a, DWORD b) {
    return ((flags & a) != 0) != ((flags & b) != 0);
}

DWORD buttonId(DWORD instance) {
    return DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(instance);
}

DWORD motionId(DWORD instance) {
    return DIDFT_RELAXIS | DIDFT_MAKEINSTANCE(instance);
}

}  // namespace

Device::Device(std::unique_ptr<Backend> backend) : backend_(std::move(backend)) {
    objectMade();
    InputHub::instance().add(this);
}

Device::~Device() {
    InputHub::instance().remove(this);
    objectDestroyed();
}

HRESULT Device::QueryInterface(REFIID interfaceId, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (interfaceId == IID_IDirectInputDevice8W || interfaceId == IID_IUnknown) {
        AddRef();
        *object = static_cast<IDirectInputDevice8W*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT Device::Acquire() {
    if (!mapped_) {
        return DIERR_INVALIDPARAM;
    }
    if (!backend_->attached()) {
        checkAcquisition();
        return DIERR_UNPLUGGED;
    }
    if (foregroundLevel() && !inForeground(window_)) {
        checkAcquisition();
        return DIERR_OTHERAPPHASPRIO;
    }
    if (acquired_) {
        return S_FALSE;
    }
    acquired_ = true;
    lost_ = false;
    if (!restsRead_) {
        readRests();
    }
    // Keys and buttons already held count from now on, as if pressed now; a joystick's
    // state is read at its next Poll.
    if (!backend_->polled()) {
        for (Action& action : actions_) {
            if (action.object.kind == ObjectKind::Button) {
                report(action, scaled(action));
            }
        }
    }
    return S_OK;
}

HRESULT Device::Unacquire() {
    if (!acquired_) {
        return DI_NOEFFECT;
    }
    loseAcquisition(false);
    return S_OK;
}

HRESULT Device::Poll() {
    checkAcquisition();
    if (!acquired_) {
        return notAcquired();
    }
    if (!backend_->polled()) {
        return DI_NOEFFECT;
    }
    backend_->update();
    checkAcquisition();
    if (!acquired_) {
        return notAcquired();
    }
    for (Action& action : actions_) {
        if (action.object.kind != ObjectKind::RelativeAxis) {
            report(action, scaled(action));
        }
    }
    return S_OK;
}

HRESULT Device::SetCooperativeLevel(HWND window, DWORD flags) {
    if (acquired_) {
        return DIERR_ACQUIRED;
    }
    if ((flags & ~kCooperationFlags) != 0 ||
        !exactlyOne(flags, DISCL_EXCLUSIVE, DISCL_NONEXCLUSIVE) ||
        !exactlyOne(flags, DISCL_FOREGROUND, DISCL_BACKGROUND)) {
        return DIERR_INVALIDPARAM;
    }
    if ((flags & DISCL_FOREGROUND) != 0 && !IsWindow(window)) {
        return DIERR_INVALIDPARAM;
    }
    cooperation_ = flags;
    window_ = window;
    return DI_OK;
}

HRESULT Device::BuildActionMap(LPDIACTIONFORMATW format, LPCWSTR, DWORD flags) {
    const HRESULT injected =
        injectedFailure(dinput8_test::Call::BuildActionMap, instance().tszInstanceName);
    if (FAILED(injected)) {
        return injected;
    }
    if (!validFormat(format) || flags != 0) {
        return DIERR_INVALIDPARAM;
    }
    const GUID& self = instance().guidInstance;
    std::vector<DWORD> taken;
    bool any = false;
    for (DWORD i = 0; i < format->dwNumActions; ++i) {
        DIACTIONW& action = format->rgoAction[i];
        DeviceObject object;
        bool free = backend_->map(action.dwSemantic, object);
        for (DWORD id : taken) {
            free = free && id != object.id;
        }
        if (free) {
            taken.push_back(object.id);
            action.guidInstance = self;
            action.dwObjID = object.id;
            action.dwHow = DIAH_DEFAULT;
            any = true;
        } else if (action.guidInstance == self) {
            // An action this device took before and can no longer take is free again.
            action.guidInstance = GUID{};
            action.dwObjID = 0;
            action.dwHow = DIAH_UNMAPPED;
        }
    }
    return any ? DI_OK : DI_NOEFFECT;
}

HRESULT Device::SetActionMap(LPCDIACTIONFORMATW format, LPCWSTR, DWORD flags) {
    if (acquired_) {
        return DIERR_ACQUIRED;
    }
    if (!validFormat(format) || flags != 0) {
        return DIERR_INVALIDPARAM;
    }
    const GUID& self = instance().guidInstance;
    std::vector<Action> actions;
    for (DWORD i = 0; i < format->dwNumActions; ++i) {
        const DIACTIONW& mapped = format->rgoAction[i];
        if (mapped.guidInstance != self || mapped.dwHow == DIAH_UNMAPPED) {
            continue;
        }
        Action action;
        if (!backend_->kindOf(mapped.dwObjID, action.object.kind)) {
            return DIERR_INVALIDPARAM;
        }
        action.object.id = mapped.dwObjID;
        action.appData = mapped.uAppData;
        action.offset = i * 4;
        actions.push_back(action);
    }
    range_.min = format->lAxisMin;
    range_.max = format->lAxisMax;
    for (Action& action : actions) {
        action.reported = restingValue(action.object.kind, range_);
    }
    actions_.swap(actions);
    // Events still waiting (the releases of an earlier map) stay: they undo what the game
    // was told before.
    buffer_.setCapacity(format->dwBufferSize < kMaxBufferedEvents ? format->dwBufferSize
                                                                  : kMaxBufferedEvents);
    mapped_ = true;
    restsRead_ = false;
    return DI_OK;
}

HRESULT Device::SetProperty(REFGUID property, LPCDIPROPHEADER header) {
    const HRESULT injected =
        injectedFailure(dinput8_test::Call::SetProperty, instance().tszInstanceName);
    if (FAILED(injected)) {
        return injected;
    }
    if (header == nullptr) {
        return DIERR_INVALIDPARAM;
    }
    if (property != DIPROP_DEADZONE) {
        return DIERR_UNSUPPORTED;
    }
    if (header->dwHeaderSize != sizeof(DIPROPHEADER) || header->dwSize != sizeof(DIPROPDWORD)) {
        return DIERR_INVALIDPARAM;
    }
    if (header->dwHow != DIPH_DEVICE || header->dwObj != 0) {
        return DIERR_UNSUPPORTED;
    }
    const DWORD zone = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
    if (zone > 10000) {
        return DIERR_INVALIDPARAM;
    }
    range_.deadZone = zone;
    // The keyboard and the mouse have no absolute axis for the zone to act on.
    return backend_->polled() ? DI_OK : DI_PROPNOEFFECT;
}

HRESULT Device::GetDeviceData(DWORD objectDataSize, LPDIDEVICEOBJECTDATA data, DWORD* count,
                              DWORD flags) {
    const HRESULT injected =
        injectedFailure(dinput8_test::Call::GetDeviceData, instance().tszInstanceName);
    if (FAILED(injected)) {
        return injected;
    }
    if (objectDataSize != sizeof(DIDEVICEOBJECTDATA) || count == nullptr || flags != 0) {
        return DIERR_INVALIDPARAM;
    }
    checkAcquisition();
    if (!acquired_) {
        *count = 0;
        return notAcquired();
    }
    if (buffer_.capacity() == 0) {
        *count = 0;
        return DIERR_NOTBUFFERED;
    }
    *count = static_cast<DWORD>(buffer_.take(data, *count));
    return buffer_.takeOverflow() ? DI_BUFFEROVERFLOW : DI_OK;
}

void Device::keyChanged(BYTE dik, bool down) {
    if (deviceType() != DI8DEVTYPE_KEYBOARD) {
        return;
    }
    checkAcquisition();
    if (!acquired_) {
        return;
    }
    for (Action& action : actions_) {
        if (action.object.id == buttonId(dik)) {
            report(action, down ? 0x80 : 0);
        }
    }
}

void Device::mouseButtonChanged(int button, bool down) {
    if (deviceType() != DI8DEVTYPE_MOUSE) {
        return;
    }
    checkAcquisition();
    if (!acquired_) {
        return;
    }
    for (Action& action : actions_) {
        if (action.object.id == buttonId(static_cast<DWORD>(button))) {
            report(action, down ? 0x80 : 0);
        }
    }
}

void Device::mouseMoved(int dx, int) {
    if (deviceType() != DI8DEVTYPE_MOUSE || dx == 0) {
        return;
    }
    checkAcquisition();
    if (!acquired_) {
        return;
    }
    for (const Action& action : actions_) {
        if (action.object.id == motionId(0)) {
            buffer_.pushMotion(action.offset, dx, action.appData);
        }
    }
}

void Device::windowLostFocus(HWND window) {
    if (window == window_) {
        checkAcquisition();
    }
}

void Device::checkAcquisition() {
    if (!acquired_) {
        return;
    }
    if (!backend_->attached() || (foregroundLevel() && !inForeground(window_))) {
        loseAcquisition(true);
    }
}

void Device::loseAcquisition(bool lostBySystem) {
    acquired_ = false;
    lost_ = lostBySystem;
    // Whatever the game was told is held is let go and every axis returns to its rest, so
    // nothing stays pressed while the game cannot hear the release.
    for (Action& action : actions_) {
        if (action.object.kind != ObjectKind::RelativeAxis) {
            report(action, restingValue(action.object.kind, range_));
        }
    }
}

LONG Device::scaled(const Action& action) const {
    const RawValue raw = backend_->read(action.object.id);
    switch (action.object.kind) {
        case ObjectKind::Button:
            return raw.value != 0 ? 0x80 : 0;
        case ObjectKind::Axis:
            return scaleCentred(raw, range_);
        case ObjectKind::Pedal:
            return scalePedal(raw, action.rawRest, range_);
        case ObjectKind::RelativeAxis:
            break;
    }
    return 0;
}

void Device::report(Action& action, LONG value) {
    if (value == action.reported) {
        return;
    }
    action.reported = value;
    buffer_.push(action.offset, static_cast<DWORD>(value), action.appData);
}

void Device::readRests() {
    // A pedal may rest at either end of its raw range; where it rests when the game first
    // takes the device is its released position.
    backend_->update();
    for (Action& action : actions_) {
        if (action.object.kind == ObjectKind::Pedal) {
            action.rawRest = backend_->read(action.object.id).value;
        }
    }
    restsRead_ = true;
}

}  // namespace dinput8
