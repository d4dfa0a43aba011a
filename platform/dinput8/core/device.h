// The front end of every DirectInput device: checks each call, keeps the cooperative level
// and the action map, turns backend state into buffered events and takes care that losing
// acquisition leaves nothing held.
#pragma once

#include <memory>
#include <vector>

#include "core/axis_scaling.h"
#include "core/backend.h"
#include "core/event_buffer.h"
#include "win32/com_object.h"

namespace dinput8 {

class Device : public win32::ComObject<IDirectInputDevice8W> {
public:
    explicit Device(std::unique_ptr<Backend> backend);
    ~Device() override;

    HRESULT QueryInterface(REFIID interfaceId, void** object) override;

    HRESULT Acquire() override;
    HRESULT Unacquire() override;
    HRESULT Poll() override;
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT BuildActionMap(LPDIACTIONFORMATW format, LPCWSTR userName, DWORD flags) override;
    HRESULT SetActionMap(LPCDIACTIONFORMATW format, LPCWSTR userName, DWORD flags) override;
    HRESULT SetProperty(REFGUID property, LPCDIPROPHEADER header) override;
    HRESULT GetDeviceData(DWORD objectDataSize, LPDIDEVICEOBJECTDATA data, DWORD* count,
                          DWORD flags) override;

    const DIDEVICEINSTANCEW& instance() const { return backend_->instance(); }

    // Reports of the input hub.
    void keyChanged(BYTE dik, bool down);
    void mouseButtonChanged(int button, bool down);
    // Only x is mapped.
    void mouseMoved(int dx, int dy);
    void windowLostFocus(HWND window);

private:
    struct Action {
        DeviceObject object;
        UINT_PTR appData = 0;
        DWORD offset = 0;
        LONG reported = 0;  // the value the last event gave the game
        int rawRest = 0;    // pedals: the raw value at the first acquisition
    };

    bool foregroundLevel() const { return (cooperation_ & DISCL_FOREGROUND) != 0; }
    DWORD deviceType() const { return instance().dwDevType & 0xFFu; }
    // Loses acquisition when the device was unplugged or its window went behind.
    void checkAcquisition();
    void loseAcquisition(bool lostBySystem);
    HRESULT notAcquired() const { return lost_ ? DIERR_INPUTLOST : DIERR_NOTACQUIRED; }
    LONG scaled(const Action& action) const;
    void report(Action& action, LONG value);
    void readRests();

    std::unique_ptr<Backend> backend_;
    DWORD cooperation_ = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    HWND window_ = nullptr;
    bool mapped_ = false;
    bool acquired_ = false;
    bool lost_ = false;
    bool restsRead_ = false;
    AxisRange range_;
    std::vector<Action> actions_;
    EventBuffer buffer_;
};

}  // namespace dinput8
