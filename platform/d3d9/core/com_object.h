// Reference counting shared by every object of the layer, and the live-object counters.
#pragma once

#include <d3d9.h>

#include "d3d9/seams.h"
#include "win32/com_object.h"

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

// A layer object: counted among the live objects of its type while it exists.
template <class Interface>
class ComObject : public win32::ComObject<Interface> {
protected:
    explicit ComObject(ObjectType type) : live_(type) {}

private:
    LiveObject live_;
};

}  // namespace d3d9
