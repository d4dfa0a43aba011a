// The boundary between a device's front end, which checks every call, keeps the action map,
// scales values and buffers events, and a backend, which only knows its hardware: which
// object takes a semantic and what state each object is in.
#pragma once

#include <dinput.h>

namespace dinput8 {

enum class ObjectKind {
    Button,        // raw 0 up, 1 down
    Axis,          // absolute, rests in the middle of its raw range
    Pedal,         // absolute, rests at one end of its raw range
    RelativeAxis,  // motion only (the mouse); reported through the input hub
};

struct DeviceObject {
    DWORD id = 0;  // DIDFT_ type bits and instance
    ObjectKind kind = ObjectKind::Button;
};

struct RawValue {
    int value = 0;
    int min = 0;
    int max = 1;
};

class Backend {
public:
    virtual ~Backend() = default;

    virtual const DIDEVICEINSTANCEW& instance() const = 0;
    // The object that takes the semantic; false when the device has none.
    virtual bool map(DWORD semantic, DeviceObject& object) = 0;
    // The kind of one of this device's objects; false for an id it does not have.
    virtual bool kindOf(DWORD id, ObjectKind& kind) const = 0;
    // True for devices whose state Poll reads (joysticks); the keyboard and the mouse
    // report through the input hub as things happen.
    virtual bool polled() const = 0;
    // False once the device is unplugged.
    virtual bool attached() const { return true; }
    // Brings the state of a polled device up to date.
    virtual void update() {}
    // The present state of a button or an absolute axis.
    virtual RawValue read(DWORD id) const = 0;
};

}  // namespace dinput8
