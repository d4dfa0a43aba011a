// GL programs for the shaders in force: SPIR-V translated once per shader, generated
// stand-ins for the fixed-function stages, one linked program per vertex/pixel pair, and
// the device's constant registers uploaded into their uniforms before each draw.
//
// Direct3D's clip-space depth (0..1), its pixel-centre offset and the alpha test are
// applied here and nowhere else: every vertex stage maps depth to GL's -1..1 and moves
// the position by `dx_position_adjust`; a pixel stage drawn with the alpha test on is a
// variant of its own that ends with the test (a `discard` in every pixel stage would keep
// drivers from skipping what later opaque pixels cover).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/shader.h"
#include "d3d9/drawing.h"
#include "d3d9/fx/fixed_function.h"
#include "gl/state_cache.h"
#include "gl/vertex_input.h"

namespace d3d9::gl {

struct Program {
    struct Uniform {
        GLint location = -1;
        GLenum type = 0;
        GLint arraySize = 1;
        bool vertexStage = true;
        ConstantKind kind = ConstantKind::Float;
        UINT registerIndex = 0;
        UINT registerCount = 0;
        std::vector<std::uint8_t> last;  // the values uploaded last
    };

    GLuint name = 0;
    std::uint64_t id = 0;  // unique for the process, unlike GL names, which come back
    std::vector<AttributeSlot> attributes;
    std::vector<Uniform> uniforms;
    std::vector<int> textureStages;  // device samplers whose textures the program reads
    GLint textureFactor = -1;
    GLint positionAdjust = -1;
    GLint alphaTest = -1;
    std::array<float, 4> lastFactor{{-1, -1, -1, -1}};
    std::array<float, 2> lastAdjust{{0, 0}};
    std::array<float, 2> lastAlphaTest{{-1, -1}};
    // The device's constants versions the uniforms were last uploaded from (0: none).
    std::uint64_t vertexConstantsVersion = 0;
    std::uint64_t pixelConstantsVersion = 0;
    // The render states version (viewport included) the factor, adjustment and alpha test
    // were last uploaded from (0: none).
    std::uint64_t renderStatesVersion = 0;
};

class ProgramCache {
public:
    ProgramCache(StateCache& cache, DrawingStats& stats);
    ~ProgramCache();
    ProgramCache(const ProgramCache&) = delete;
    ProgramCache& operator=(const ProgramCache&) = delete;

    // The program for the shaders (or fixed-function states) in force; null when it cannot
    // be built, with the reason in the stats. layoutId names the layout (see DrawCall).
    Program* program(const DeviceState& state, const std::vector<D3DVERTEXELEMENT9>& layout,
                     std::uint64_t layoutId);
    // Constants, texture factor, alpha test and the position adjustment for a viewport.
    void upload(Program& program, const DeviceState& state, UINT viewportWidth,
                UINT viewportHeight);
    void shaderDestroyed(const ShaderCode& code, bool withGl);
    // Forgets GL names without deleting them (their context is gone).
    void abandon();

private:
    struct Stage {
        bool vertex = true;
        GLuint shader = 0;
        d3dx9::fx::GlslShader glsl;
        std::vector<ShaderUniform> table;  // from the blob; empty for generated stages
        // What a vertex stage hands over: fx_COLOR0, and fx_TEXCOORD0/1's sizes.
        bool diffuseOut = false;
        std::array<unsigned, 2> texcoordOut{{0, 0}};
    };
    using Stages = std::pair<const Stage*, const Stage*>;
    // What the last program was chosen from: draws that repeat it skip every lookup.
    struct Choice {
        IDirect3DVertexShader9* vertexShader = nullptr;
        IDirect3DPixelShader9* pixelShader = nullptr;
        std::uint64_t layoutId = 0;
        bool alphaTest = false;
        std::array<std::array<std::uint32_t, 6>, 2> stages{};  // fixed-function pixel stages
        Program* program = nullptr;

        bool sameInputs(const Choice& o) const {
            return vertexShader == o.vertexShader && pixelShader == o.pixelShader &&
                   layoutId == o.layoutId && alphaTest == o.alphaTest &&
                   (pixelShader != nullptr || stages == o.stages);
        }
    };

    const Stage* shaderStage(const ShaderCode& code, bool alphaTest);
    const Stage* fixedVertexStage(const std::vector<D3DVERTEXELEMENT9>& layout);
    const Stage* fixedPixelStage(const DeviceState& state, const Stage& vertex, bool alphaTest);
    // Compiles the stage's text; false with the log in the stats.
    bool compile(Stage& stage);
    // Keeps the complaint in the stats and reports it on the debug output, as Direct3D's
    // debug runtime reports a draw it refuses. Every failure is remembered where it happened
    // (a stage or a pair that failed is never built again), so each is reported once.
    void fail(const std::string& what, const std::string& complaint);
    Program* find(const DeviceState& state, const std::vector<D3DVERTEXELEMENT9>& layout,
                  bool alphaTest);
    Program* link(const Stage& vertex, const Stage& pixel);
    void dropPrograms(const Stage* stage, bool withGl);

    StateCache& cache_;
    DrawingStats& stats_;
    // Without and with the alpha test.
    std::array<d3dx9::fx::TranslateOptions, 2> options_;
    std::array<d3dx9::fx::FixedFunctionCache, 2> generated_;
    // By shader id and whether the stage has the alpha test (pixel stages only).
    std::map<std::pair<std::uint64_t, bool>, std::unique_ptr<Stage>> shaders_;
    std::map<d3dx9::fx::FixedVertexKey, std::unique_ptr<Stage>> fixedVertex_;
    std::map<std::pair<d3dx9::fx::FixedPixelKey, bool>, std::unique_ptr<Stage>> fixedPixel_;
    std::map<Stages, std::unique_ptr<Program>> programs_;
    std::vector<std::uint64_t> failed_;  // shaders that cannot be translated
    Choice last_;
    // Uniform values gathered before upload: the largest register file's worth.
    std::array<float, kShaderConstantCount * 4> floatScratch_{};
    std::array<GLint, kShaderConstantCount * 4> intScratch_{};
};

}  // namespace d3d9::gl
