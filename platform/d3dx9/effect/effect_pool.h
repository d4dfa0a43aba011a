// ID3DXEffectPool: the parameter values shared by the effects created with one pool, by
// name. The values live as long as the pool or an effect using them.
#pragma once

#include <map>
#include <string>

#include <d3dx9effect.h>

#include "common/com_object.h"
#include "effect_values.h"

namespace d3dx9::fx {

class EffectPool : public ComObject<ID3DXEffectPool> {
public:
    // The shared value for the declaration: the one already in the pool when its shape
    // matches (its current value kept), else a new one holding the declaration's defaults.
    // A same-named parameter of another shape gets a value of its own, not shared.
    SharedValue valueFor(const Parameter& declaration);

private:
    std::map<std::string, SharedValue> values_;
};

}  // namespace d3dx9::fx
