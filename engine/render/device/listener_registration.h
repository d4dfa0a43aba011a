// Keeps a listener on a device's list for the registration's lifetime, so that an owner
// whose constructor fails after registering leaves no dangling listener behind.
#pragma once

#include "engine/render/device/device_listener.h"
#include "engine/render/device/dx_device.h"

namespace kesh {

class ListenerRegistration {
public:
    // Adds the listener, which on a live device creates its resources at once; what that
    // throws leaves the listener unregistered and propagates.
    ListenerRegistration(DxDevice* device, DeviceListener* listener);
    // Removes the listener (releasing its resources on a live device); never throws:
    // failures are logged.
    ~ListenerRegistration();
    ListenerRegistration(const ListenerRegistration&) = delete;
    ListenerRegistration& operator=(const ListenerRegistration&) = delete;

private:
    DxDevice* device;
    DeviceListener* listener;
};

}  // namespace kesh
