// Reference counting shared by every object of the layer, and the live-object counters.
#pragma once

#include <d3d9.h>

#include "d3d9/seams.h"

namespace d3d9 {

void countLiveObject(ObjectType type, int delta);

// Counts one live object of a type for its own lifetime.
class LiveObject {
public:
    explicit LiveObject(ObjectType type) : type_(type) { countLiveObject(type_, 1); }
    ~LiveObject() { countLiveObject(type_, -1); }
    LiveObject(const LiveObject&) = delete;
    LiveObject& operator=(const LiveObject&) = delete;

private:
    ObjectType type_;
};

// IUnknown for one interface: the object starts with one reference and deletes itself at 0.
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
    explicit ComObject(ObjectType type) : live_(type) {}
    ULONG references() const { return references_; }

private:
    ULONG references_ = 1;
    LiveObject live_;
};

}  // namespace d3d9
