// A scoped walk over the passes of an effect. Every effect has at least two passes and the
// last one restores the render states the others changed: the drawing passes run once each,
// then the restore pass runs once when the walk ends, also when an exception leaves the
// scope. Usage: construct; while current < count: set parameters, CommitChanges where
// needed, draw, next(); destroy.
#pragma once

#include <d3dx9effect.h>

#include <cstdint>

namespace kesh {

class EffectPass {
public:
    // Begins the effect with flags | D3DXFX_DONOTSAVESHADERSTATE and its first pass.
    // Throws std::runtime_error when either fails or the effect has fewer than two passes;
    // the effect is then ended again, so it can be begun later.
    EffectPass(ID3DXEffect* effect, std::uint32_t flags);
    // Runs end() unless it ran; failures are logged, never thrown.
    ~EffectPass();
    EffectPass(const EffectPass&) = delete;
    EffectPass& operator=(const EffectPass&) = delete;

    void begin();
    // Ends the pass in progress first unless index is 0.
    void beginPass(std::uint32_t index);
    void next();
    // Back to the first pass, to draw another object with the same passes.
    void restart();
    // Ends the last drawing pass, runs the restore pass and ends the effect; at most once.
    void end();

    std::uint32_t current;
    std::uint32_t count;  // drawing passes: the effect's passes minus the restore pass
    std::uint32_t flags;
    ID3DXEffect* effect;  // not owned

private:
    bool ended = false;
};

}  // namespace kesh
