#include "engine/render/device/listener_registration.h"

#include <exception>

#include "engine/render/log_lines.h"

namespace kesh {

ListenerRegistration::ListenerRegistration(DxDevice* dxDevice, DeviceListener* registered)
    : device(dxDevice), listener(registered) {
    device->addListener(listener);
}

ListenerRegistration::~ListenerRegistration() {
    try {
        device->removeListener(listener);
    } catch (const std::exception& e) {
        writeLine(boost::log::logError(), "ListenerRegistration: ", e.what());
    } catch (...) {
        writeLine(boost::log::logError(), "ListenerRegistration: unknown exception at removal");
    }
}

}  // namespace kesh
