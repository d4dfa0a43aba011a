// IUnknown for the D3DX objects: one reference at creation, deleted at 0.
#pragma once

#include <unknwn.h>

namespace d3dx9 {

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

private:
    ULONG references_ = 1;
};

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
