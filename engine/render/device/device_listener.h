// An object holding default-pool Direct3D resources: it creates them in OnResetDevice and
// frees them in OnLostDevice, around every reset of the device.
#pragma once

namespace kesh {

class DeviceListener {
public:
    virtual ~DeviceListener() = default;
    // Recreate default-pool resources and state after a reset.
    virtual void OnResetDevice() = 0;
    // Release default-pool resources before a reset.
    virtual void OnLostDevice() = 0;
};

}  // namespace kesh
