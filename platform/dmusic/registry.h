// Every COM object the layer makes is registered while it lives, so that pointers handed
// back by the caller (sources, `from` states, audio paths) are checked before use, and
// tests can count what is still alive.
#pragma once

#include <objbase.h>

#include <atomic>

namespace dmusic {

enum class Kind { Performance, Loader, Segment, SegmentState, AudioPath };

void registerObject(const void* object, Kind kind);
void unregisterObject(const void* object);
// True when `object` is a live object of that kind. Takes the address only, so that a
// stale pointer from a caller is never converted (or followed) before it is known.
bool isLive(const void* object, Kind kind);
int liveObjectCount();

// Reference counting shared by the layer's objects: one reference at creation, destroyed
// at 0. `Interface` must derive from IUnknown along a single path.
template <class Interface, Kind K>
class ComObject : public Interface {
public:
    ComObject() { registerObject(static_cast<const void*>(this), K); }
    virtual ~ComObject() { unregisterObject(static_cast<const void*>(this)); }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG left = --refs_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

protected:
    std::atomic<ULONG> refs_{1};
};

}  // namespace dmusic
