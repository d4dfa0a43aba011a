// The device shaders of an effect: every `compile` assignment of every technique is
// compiled when the effect is created (the same call only once), checked against the
// device's shader caps, and bound with its constants when a pass runs.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <d3d9.h>

#include "effect_names.h"
#include "effect_values.h"
#include "hlsl_compiler.h"

namespace d3dx9::fx {

// A sampler a shader reads: the device sampler and the sampler parameter's index (-1 when
// the effect has no parameter of that name).
struct ShaderSampler {
    DWORD deviceSampler = 0;
    int parameter = -1;
};

class EffectShaders {
public:
    struct Compiled;
    using Shader = const Compiled*;

    // Throws ShaderError holding the messages of every shader that failed to compile.
    EffectShaders(IDirect3DDevice9* device, const EffectDesc& effect, const NameIndex& parameters);
    ~EffectShaders();
    EffectShaders(const EffectShaders&) = delete;
    EffectShaders& operator=(const EffectShaders&) = delete;

    // Compiler warnings of all shaders, one per line.
    const std::string& warnings() const { return warnings_; }
    // False when the device's caps do not run the assignment's profile.
    bool supported(const StateAssignment& assignment) const;
    // The compiled shader of a `compile` assignment; null for any other.
    Shader find(const StateAssignment& assignment) const;

    // Sets the vertex or pixel shader (null unbinds).
    void bind(StateKind kind, Shader shader) const;
    // Uploads the constants the shader reads, from values parallel to the parameters. With
    // `applied` (the value versions last uploaded, parallel too), only those changed since.
    void uploadConstants(Shader shader, const ParameterValues& values,
                         const std::vector<std::uint64_t>* applied) const;
    // The samplers the shader's code reads.
    const std::vector<ShaderSampler>& samplers(Shader shader) const;

private:
    void createDeviceShader(Compiled& compiled, const NameIndex& parameters);

    IDirect3DDevice9* device_;
    D3DCAPS9 caps_{};
    std::map<std::string, std::unique_ptr<Compiled>> byCall_;
    std::string warnings_;
    // Conversion room for the largest constant, so an upload allocates nothing.
    mutable std::vector<float> floats_;
    mutable std::vector<int> ints_;
    mutable std::vector<BOOL> bools_;
};

}  // namespace d3dx9::fx
