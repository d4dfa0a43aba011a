// The handle to one play of a segment. The performance that made it keeps it (and one
// reference to it); callers hold it without owning it unless they AddRef it.
#pragma once

#include "openal/mixer.h"
#include "registry.h"

#include <dmusici.h>

#include <memory>

namespace dmusic {

class SegmentStateImpl : public ComObject<IDirectMusicSegmentState, Kind::SegmentState> {
public:
    SegmentStateImpl(std::shared_ptr<StateCore> core, const void* performance);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    // A Release without a matching AddRef cannot take the performance's own reference.
    ULONG Release() override;
    // The performance gives up its reference (the handle dies unless a caller holds one).
    void disown();

    const std::shared_ptr<StateCore>& core() const { return core_; }
    const void* performance() const { return performance_; }

private:
    std::shared_ptr<StateCore> core_;
    const void* performance_;
    bool owned_ = true;
};

// The live segment state behind `object`, or null.
SegmentStateImpl* asSegmentState(const void* object);

}  // namespace dmusic
