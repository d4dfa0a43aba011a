// What an effect file declares, as the effect object needs it: parameters with their
// defaults, techniques, passes and the state assignments of each pass already mapped to
// the device state they set. Nothing here touches a device.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace d3dx9::fx {

// A failure in the effect text; the message reads "file(line): message".
class EffectError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where a piece of the effect text came from (the file name as given to the parser or
// named by #include, and its 1-based line).
struct SourceLocation {
    std::string file;
    int line = 0;
};

enum class ParamType { Void, Bool, Int, Float, String, Texture, Sampler };

struct Annotation {
    std::string typeName;
    std::string name;
    std::vector<double> numbers;  // numeric annotations
    std::string text;             // string annotations
};

enum class SamplerStateKind { Sampler, Texture };

// One assignment inside a sampler_state block.
struct SamplerAssignment {
    SamplerStateKind kind = SamplerStateKind::Sampler;
    std::uint32_t state = 0;  // D3DSAMPLERSTATETYPE when kind is Sampler
    std::uint32_t value = 0;
    std::string parameter;  // a <param> reference (the texture, or a value parameter)
    SourceLocation where;
};

struct Parameter {
    std::string name;
    std::string typeName;  // as written ("float4", "matrix", "sampler2D"...)
    ParamType type = ParamType::Void;
    unsigned rows = 1;      // 1 for scalars and vectors
    unsigned columns = 1;   // vector size, or matrix columns
    unsigned elements = 0;  // array length, 0 when not an array
    bool shared = false;
    std::string layout;  // "row_major" / "column_major" when written
    std::string semantic;
    std::vector<Annotation> annotations;
    // rows x columns x max(elements, 1) values, zero when the file gives none. Booleans
    // are 0/1, integers exact.
    std::vector<double> defaults;
    std::string stringDefault;
    std::vector<SamplerAssignment> samplerStates;  // sampler parameters only
    SourceLocation where;

    unsigned valueCount() const { return rows * columns * (elements ? elements : 1); }
};

enum class StateKind {
    Render,         // SetRenderState(state, value)
    TextureStage,   // SetTextureStageState(index, state, value)
    Sampler,        // SetSamplerState(index, state, value)
    Texture,        // SetTexture(index, <texture parameter>)
    SamplerObject,  // every state and the texture of a sampler parameter, on sampler index
    VertexShader,   // SetVertexShader
    PixelShader,    // SetPixelShader
};

enum class ValueSource { Literal, Parameter, Shader, Null };

struct ShaderCall {
    std::string profile;  // "vs_1_1"...
    std::string entry;
    std::vector<std::string> arguments;  // argument expressions as written
};

struct StateAssignment {
    std::string name;  // as written, e.g. "ColorOp"
    StateKind kind = StateKind::Render;
    std::uint32_t state = 0;  // D3DRS_*, D3DTSS_*, D3DSAMP_* number
    std::uint32_t index = 0;  // stage or sampler, from "[n]"
    ValueSource source = ValueSource::Literal;
    std::uint32_t value = 0;  // the DWORD sent to the device for literals
    std::string parameter;    // for <param> references
    ShaderCall shader;        // for compile expressions
    SourceLocation where;
};

struct Pass {
    std::string name;
    std::vector<Annotation> annotations;
    std::vector<StateAssignment> assignments;
};

struct Technique {
    std::string name;
    std::vector<Annotation> annotations;
    std::vector<Pass> passes;
};

// A piece of HLSL kept as text (function, struct, typedef, static global), with where it
// starts so compiler messages can point back into the effect file.
struct HlslChunk {
    std::string text;
    SourceLocation where;
};

struct EffectDesc {
    std::vector<Parameter> parameters;  // file order
    std::vector<Technique> techniques;  // file order
    std::vector<HlslChunk> hlsl;        // file order
    std::vector<std::string> files;     // the main file, then each #include in order

    const Parameter* findParameter(const std::string& name) const {
        for (const auto& p : parameters) {
            if (p.name == name) {
                return &p;
            }
        }
        return nullptr;
    }
};

}  // namespace d3dx9::fx
