// Test seams of the D3DX effects: how often an effect ran each step of its protocol, and
// effects made to fail by name, as a broken or unsupported effect file would.
#pragma once

#include <string>

#include <d3dx9effect.h>

namespace d3dx9 {

struct EffectCalls {
    int begins = 0;
    int beginPasses = 0;
    int commits = 0;
    int endPasses = 0;
    int ends = 0;
};

// The successful calls of an effect of this layer so far; zeros for any other object.
EffectCalls effectCalls(ID3DXEffect* effect);

// Effects created afterwards whose name (the file name of a path, a resource name, or
// "memory") equals `name` without regard to case fail to compile, or compile with no
// technique that validates.
void failEffectCompile(const std::string& name);
void failEffectValidation(const std::string& name);
void clearEffectFailures();

}  // namespace d3dx9
