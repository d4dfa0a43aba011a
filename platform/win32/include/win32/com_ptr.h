// One reference to a COM-shaped object, held for the holder's lifetime, as std::unique_ptr
// holds memory: code that keeps such an object never calls AddRef or Release itself.
#pragma once

#include <cstddef>
#include <utility>

namespace win32 {

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Adopts the caller's reference (the one a Create* call hands out); no AddRef.
    explicit ComPtr(T* object) noexcept : object_(object) {}
    ComPtr(const ComPtr& other) noexcept : object_(other.object_) {
        if (object_ != nullptr) {
            object_->AddRef();
        }
    }
    ComPtr(ComPtr&& other) noexcept : object_(other.release()) {}
    ComPtr& operator=(ComPtr other) noexcept {
        swap(other);
        return *this;
    }
    ~ComPtr() { reset(); }

    // Adopts object's reference and releases the one held before. The old one goes last, so
    // a destructor it sets off sees this pointer already holding the new object.
    void reset(T* object = nullptr) noexcept {
        T* old = object_;
        object_ = object;
        if (old != nullptr) {
            old->Release();
        }
    }
    // Gives the reference to the caller, who then owes its Release (a function handing it
    // out through its own out-parameter).
    T* release() noexcept {
        T* object = object_;
        object_ = nullptr;
        return object;
    }
    // The out-parameter of a Create* or Get* call: what was held is released first, so the
    // call's new reference is adopted and nothing leaks when a pointer is filled twice.
    T** out() noexcept {
        reset();
        return &object_;
    }
    void swap(ComPtr& other) noexcept { std::swap(object_, other.object_); }

    T* get() const noexcept { return object_; }
    T* operator->() const noexcept { return object_; }
    explicit operator bool() const noexcept { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

// A second holder of an object someone else keeps: takes a reference of its own.
template <class T>
ComPtr<T> addRef(T* object) noexcept {
    if (object != nullptr) {
        object->AddRef();
    }
    return ComPtr<T>(object);
}

}  // namespace win32
