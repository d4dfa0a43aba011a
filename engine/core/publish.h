// Process-wide service pointers that own what they point at: publishing an object destroys
// the different object the pointer held before, and withdrawing destroys it and leaves the
// pointer null. Readers keep using the plain pointer.
#pragma once

#include <memory>

namespace kesh {

template <class Service>
void publish(Service*& slot, std::unique_ptr<Service> object) {
    if (slot == object.get()) {
        object.release();
        return;
    }
    // The pointer moves on before the old object dies, so its destructor never sees itself
    // still published.
    std::unique_ptr<Service> previous(slot);
    slot = object.release();
}

template <class Service>
void withdraw(Service*& slot) {
    std::unique_ptr<Service> previous(slot);
    slot = nullptr;
}

}  // namespace kesh
