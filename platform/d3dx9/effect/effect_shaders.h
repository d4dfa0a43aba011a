// The device shaders of an effect: every `compile` assignment of every technique is
// compiled when the effect is created (the same call only once), checked against the
// device's shader caps, and bound with its constants when a pass runs.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <d3d9.h>

#include "effect_values.h"
#include "hlsl_compiler.h"

namespace d3dx9::fx {

// The current value of a parameter by name; null when the effect has none of that name.
using ValueLookup = std::function<const ParameterValue*(const std::string& name)>;

class EffectShaders {
public:
    // Throws ShaderError holding the messages of every shader that failed to compile.
    EffectShaders(IDirect3DDevice9* device, const EffectDesc& effect);
    ~EffectShaders();
    EffectShaders(const EffectShaders&) = delete;
    EffectShaders& operator=(const EffectShaders&) = delete;

    // Compiler warnings of all shaders, one per line.
    const std::string& warnings() const { return warnings_; }
    // False when the device's caps do not run the assignment's profile.
    bool supported(const StateAssignment& assignment) const;

    // Binds the shader of a VertexShader / PixelShader assignment (NULL ones unbind) and
    // uploads the constants it reads.
    void bind(const StateAssignment& assignment, const ValueLookup& values) const;
    // Uploads the constants of a bound shader again.
    void updateConstants(const StateAssignment& assignment, const ValueLookup& values) const;

private:
    struct Compiled;
    const Compiled* find(const StateAssignment& assignment) const;
    void createDeviceShader(Compiled& compiled);

    IDirect3DDevice9* device_;
    const EffectDesc& effect_;
    D3DCAPS9 caps_{};
    std::map<std::string, std::unique_ptr<Compiled>> byCall_;
    std::string warnings_;
};

}  // namespace d3dx9::fx
