// Reference counting of the D3DX objects, and a holder of one reference.
#pragma once

#include <unknwn.h>

#include "win32/com_object.h"

namespace d3dx9 {

template <class Interface>
using ComObject = win32::ComObject<Interface>;

// Holds one reference for its lifetime.
template <class T>
class ComRef {
public:
    ComRef() = default;
    explicit ComRef(T* object) : object_(object) {}
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { reset(); }

    void reset(T* object = nullptr) {
        if (object_ != nullptr) {
            object_->Release();
        }
        object_ = object;
    }
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T** out() {
        reset();
        return &object_;
    }
    T* release() {
        T* object = object_;
        object_ = nullptr;
        return object;
    }

private:
    T* object_ = nullptr;
};

}  // namespace d3dx9
