// IUnknown for one interface, shared by the COM-shaped objects of the platform layer: the
// object starts with one reference and deletes itself when the last one goes.
#pragma once

#include <unknwn.h>

namespace win32 {

template <class Interface>
class ComObject : public Interface {
public:
    HRESULT QueryInterface(REFIID, void** object) override {
        if (object != nullptr) {
            *object = nullptr;
        }
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        // A Release too many must not delete the object a second time.
        if (references_ == 0) {
            return 0;
        }
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

protected:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    ULONG references() const { return references_; }

private:
    ULONG references_ = 1;
};

}  // namespace win32
