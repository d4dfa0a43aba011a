#include "gl/programs.h"

#include <algorithm>
#include <cstring>
#include <string>

#include <windows.h>

namespace d3d9::gl {

namespace fx = d3dx9::fx;

namespace {

constexpr const char* kPositionAdjust = "dx_position_adjust";
constexpr const char* kAlphaTest = "dx_alpha_test";

// The stage's own width of a vertex output, 0 when it declares none.
unsigned outputComponents(const fx::GlslShader& shader, const std::string& name) {
    for (std::size_t i = 0; i < shader.varyings.size() && i < shader.varyingComponents.size();
         ++i) {
        if (shader.varyings[i] == name) {
            return shader.varyingComponents[i];
        }
    }
    return 0;
}

std::string infoLog(GLuint object, bool program) {
    GLint length = 0;
    if (program) {
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    } else {
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    }
    std::string log(static_cast<size_t>(std::max(length, 1)), '\0');
    if (program) {
        glGetProgramInfoLog(object, length, nullptr, log.data());
    } else {
        glGetShaderInfoLog(object, length, nullptr, log.data());
    }
    log.resize(std::strlen(log.c_str()));
    return log;
}

struct TypeShape {
    bool isFloat = true;
    bool matrix = false;
    int components = 1;  // per element
};

TypeShape shapeOf(GLenum type) {
    switch (type) {
        case GL_FLOAT:
            return {true, false, 1};
        case GL_FLOAT_VEC2:
            return {true, false, 2};
        case GL_FLOAT_VEC3:
            return {true, false, 3};
        case GL_FLOAT_VEC4:
            return {true, false, 4};
        case GL_FLOAT_MAT2:
            return {true, true, 4};
        case GL_FLOAT_MAT3:
            return {true, true, 9};
        case GL_FLOAT_MAT4:
            return {true, true, 16};
        case GL_FLOAT_MAT2x3:
        case GL_FLOAT_MAT3x2:
            return {true, true, 6};
        case GL_FLOAT_MAT2x4:
        case GL_FLOAT_MAT4x2:
            return {true, true, 8};
        case GL_FLOAT_MAT3x4:
        case GL_FLOAT_MAT4x3:
            return {true, true, 12};
        case GL_INT_VEC2:
        case GL_UNSIGNED_INT_VEC2:
        case GL_BOOL_VEC2:
            return {false, false, 2};
        case GL_INT_VEC3:
        case GL_UNSIGNED_INT_VEC3:
        case GL_BOOL_VEC3:
            return {false, false, 3};
        case GL_INT_VEC4:
        case GL_UNSIGNED_INT_VEC4:
        case GL_BOOL_VEC4:
            return {false, false, 4};
        default:
            return {false, false, 1};
    }
}

// What gather() would copy for a uniform of whole registers (components a multiple of four),
// in place: its first value, with the byte count in size.
const float* contiguous(const Program::Uniform& uniform, const TypeShape& shape,
                        const std::array<float, kShaderConstantCount * 4>& file, size_t& size) {
    const size_t perElement = static_cast<size_t>(shape.components) / 4;
    const size_t first = uniform.registerIndex;
    size_t elements = 0;
    if (first < kShaderConstantCount && uniform.arraySize > 0) {
        elements = std::min({static_cast<size_t>(uniform.arraySize),
                             size_t{uniform.registerCount} / perElement,
                             (kShaderConstantCount - first) / perElement});
    }
    size = elements * perElement * 4 * sizeof(float);
    return file.data() + first * 4;
}

// Element e's n values from a register file: vectors start each element on a register,
// matrices take their values packed.
// Returns the number of values written to out, which holds at least capacity.
template <class Out, class In>
size_t gather(Out* out, size_t capacity, const In* registers, size_t registerFile, size_t width,
              UINT first, UINT count, const TypeShape& shape, GLint elements) {
    size_t written = 0;
    const size_t perElement = shape.matrix ? (static_cast<size_t>(shape.components) + 3) / 4 : 1;
    for (GLint e = 0; e < elements; ++e) {
        const size_t reg = first + e * perElement;
        if (reg + perElement > size_t{first} + count || reg + perElement > registerFile ||
            written + static_cast<size_t>(shape.components) > capacity) {
            break;
        }
        for (int c = 0; c < shape.components; ++c) {
            const size_t index = reg * width + static_cast<size_t>(c);
            out[written++] = c < static_cast<int>(perElement * width)
                                 ? static_cast<Out>(registers[index])
                                 : Out();
        }
    }
    return written;
}

}  // namespace

ProgramCache::ProgramCache(StateCache& cache, DrawingStats& stats)
    : cache_(cache),
      stats_(stats),
      options_{{{true, kPositionAdjust, ""}, {true, kPositionAdjust, kAlphaTest}}},
      generated_{{fx::FixedFunctionCache(options_[0]), fx::FixedFunctionCache(options_[1])}} {}

ProgramCache::~ProgramCache() {
    for (auto& [key, program] : programs_) {
        if (program) {
            glDeleteProgram(program->name);
        }
    }
    auto drop = [](auto& stages) {
        for (auto& [key, stage] : stages) {
            if (stage->shader != 0) {
                glDeleteShader(stage->shader);
            }
        }
    };
    drop(shaders_);
    drop(fixedVertex_);
    drop(fixedPixel_);
}

void ProgramCache::abandon() {
    last_ = Choice();
    programs_.clear();
    shaders_.clear();
    fixedVertex_.clear();
    fixedPixel_.clear();
}

bool ProgramCache::compile(Stage& stage) {
    const GLuint shader = glCreateShader(stage.vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
    const char* text = stage.glsl.source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        fail("shader does not compile", infoLog(shader, false));
        glDeleteShader(shader);
        return false;
    }
    stage.shader = shader;
    ++stats_.shadersTranslated;
    if (stage.vertex) {
        stage.diffuseOut = outputComponents(stage.glsl, "fx_COLOR0") != 0;
        stage.texcoordOut = {outputComponents(stage.glsl, "fx_TEXCOORD0"),
                             outputComponents(stage.glsl, "fx_TEXCOORD1")};
    }
    return true;
}

const ProgramCache::Stage* ProgramCache::shaderStage(const ShaderCode& code, bool alphaTest) {
    const std::pair<std::uint64_t, bool> key{code.id, alphaTest};
    if (auto found = shaders_.find(key); found != shaders_.end()) {
        return found->second->shader != 0 ? found->second.get() : nullptr;
    }
    auto stage = std::make_unique<Stage>();
    stage->vertex = code.blob.kind == ShaderKind::Vertex;
    stage->table = code.blob.uniforms;
    try {
        stage->glsl = fx::translateToGlsl(code.blob.spirv, stage->vertex, fx::EffectDesc(),
                                          options_[alphaTest]);
        compile(*stage);
    } catch (const fx::EffectError& error) {
        fail("shader cannot be translated", error.what());
    }
    const Stage* result = stage->shader != 0 ? stage.get() : nullptr;
    shaders_[key] = std::move(stage);
    return result;
}

const ProgramCache::Stage* ProgramCache::fixedVertexStage(
    const std::vector<D3DVERTEXELEMENT9>& layout) {
    auto has = [&](BYTE usage, BYTE index) {
        return std::any_of(layout.begin(), layout.end(), [&](const D3DVERTEXELEMENT9& e) {
            return e.Usage == usage && e.UsageIndex == index;
        });
    };
    fx::FixedVertexKey key;
    key.diffuse = has(D3DDECLUSAGE_COLOR, 0);
    while (key.texcoords < 8 && has(D3DDECLUSAGE_TEXCOORD, static_cast<BYTE>(key.texcoords))) {
        ++key.texcoords;
    }
    auto& slot = fixedVertex_[key];
    if (!slot) {
        slot = std::make_unique<Stage>();
        slot->vertex = true;
        slot->glsl = generated_[0].vertexShader(key);
        compile(*slot);
    }
    return slot->shader != 0 ? slot.get() : nullptr;
}

const ProgramCache::Stage* ProgramCache::fixedPixelStage(const DeviceState& state,
                                                         const Stage& vertex, bool alphaTest) {
    fx::FixedPixelKey key;
    for (DWORD i = 0; i < 2; ++i) {
        fx::TextureStageKey& stage = key.stages[i];
        stage.colorOp = state.stageState(i, D3DTSS_COLOROP);
        stage.colorArg1 = state.stageState(i, D3DTSS_COLORARG1);
        stage.colorArg2 = state.stageState(i, D3DTSS_COLORARG2);
        stage.alphaOp = state.stageState(i, D3DTSS_ALPHAOP);
        stage.alphaArg1 = state.stageState(i, D3DTSS_ALPHAARG1);
        stage.alphaArg2 = state.stageState(i, D3DTSS_ALPHAARG2);
    }
    key.diffuse = vertex.diffuseOut;
    key.texcoordComponents = vertex.texcoordOut;
    auto& slot = fixedPixel_[{key, alphaTest}];
    if (!slot) {
        slot = std::make_unique<Stage>();
        slot->vertex = false;
        try {
            slot->glsl = generated_[alphaTest].pixelShader(key);
            compile(*slot);
        } catch (const fx::EffectError& error) {
            fail("fixed-function shader cannot be built", error.what());
        }
    }
    return slot->shader != 0 ? slot.get() : nullptr;
}

Program* ProgramCache::program(const DeviceState& state,
                               const std::vector<D3DVERTEXELEMENT9>& layout,
                               std::uint64_t layoutId) {
    Choice choice;
    choice.vertexShader = state.vertexShader;
    choice.pixelShader = state.pixelShader;
    choice.layoutId = layoutId;
    choice.alphaTest = state.renderState(D3DRS_ALPHATESTENABLE) != FALSE;
    if (state.pixelShader == nullptr) {
        for (DWORD i = 0; i < 2; ++i) {
            choice.stages[i] = {
                {state.stageState(i, D3DTSS_COLOROP), state.stageState(i, D3DTSS_COLORARG1),
                 state.stageState(i, D3DTSS_COLORARG2), state.stageState(i, D3DTSS_ALPHAOP),
                 state.stageState(i, D3DTSS_ALPHAARG1), state.stageState(i, D3DTSS_ALPHAARG2)}};
        }
    }
    if (last_.program != nullptr && choice.sameInputs(last_)) {
        return last_.program;
    }
    choice.program = find(state, layout, choice.alphaTest);
    last_ = choice;
    return choice.program;
}

Program* ProgramCache::find(const DeviceState& state, const std::vector<D3DVERTEXELEMENT9>& layout,
                            bool alphaTest) {
    const ShaderCode* vertexCode = shaderCode(state.vertexShader);
    const ShaderCode* pixelCode = shaderCode(state.pixelShader);
    const Stage* vertex =
        vertexCode != nullptr ? shaderStage(*vertexCode, false) : fixedVertexStage(layout);
    if (vertex == nullptr) {
        return nullptr;
    }
    const Stage* pixel = pixelCode != nullptr ? shaderStage(*pixelCode, alphaTest)
                                              : fixedPixelStage(state, *vertex, alphaTest);
    if (pixel == nullptr) {
        return nullptr;
    }
    auto found = programs_.find({vertex, pixel});
    if (found != programs_.end()) {
        return found->second.get();
    }
    return link(*vertex, *pixel);
}

void ProgramCache::fail(const std::string& what, const std::string& complaint) {
    stats_.lastError = complaint;
    const std::string line =
        "Direct3D9: (ERROR) :" + what + ", its draws are skipped: " + complaint + "\n";
    OutputDebugStringW(std::wstring(line.begin(), line.end()).c_str());
}

Program* ProgramCache::link(const Stage& vertex, const Stage& pixel) {
    const GLuint name = glCreateProgram();
    glAttachShader(name, vertex.shader);
    glAttachShader(name, pixel.shader);
    glLinkProgram(name);
    GLint ok = GL_FALSE;
    glGetProgramiv(name, GL_LINK_STATUS, &ok);
    glDetachShader(name, vertex.shader);
    glDetachShader(name, pixel.shader);
    auto program = std::make_unique<Program>();
    if (ok != GL_TRUE) {
        fail("shaders do not link", infoLog(name, true));
        glDeleteProgram(name);
        // Remembered as a failure, so the same pair is not linked again every draw.
        programs_[{&vertex, &pixel}] = nullptr;
        return nullptr;
    }
    ++stats_.programsLinked;
    static std::uint64_t nextId = 0;
    program->name = name;
    program->id = ++nextId;
    for (const auto& attribute : vertex.glsl.attributes) {
        program->attributes.push_back(
            {static_cast<unsigned>(glGetAttribLocation(name, attribute.glslName.c_str())),
             attribute.usage, attribute.usageIndex});
    }
    program->attributes.erase(
        std::remove_if(program->attributes.begin(), program->attributes.end(),
                       [](const AttributeSlot& slot) { return slot.location >= 0x10000; }),
        program->attributes.end());

    // The type and length of every active uniform, by name without "[0]".
    std::map<std::string, std::pair<GLenum, GLint>> active;
    GLint count = 0;
    glGetProgramiv(name, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char buffer[256];
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(name, static_cast<GLuint>(i), sizeof buffer, &length, &size, &type,
                           buffer);
        std::string uniformName(buffer, static_cast<size_t>(length));
        if (uniformName.size() > 3 && uniformName.compare(uniformName.size() - 3, 3, "[0]") == 0) {
            uniformName.resize(uniformName.size() - 3);
        }
        active[uniformName] = {type, size};
    }

    glUseProgram(name);
    std::vector<int> stages;
    auto addSampler = [&](const std::string& glslName, UINT stage) {
        const GLint location = glGetUniformLocation(name, glslName.c_str());
        if (location >= 0 && stage < static_cast<UINT>(kTextureUnits)) {
            glUniform1i(location, static_cast<GLint>(stage));
            stages.push_back(static_cast<int>(stage));
        }
    };
    for (const Stage* stage : {&vertex, &pixel}) {
        for (const ShaderUniform& entry : stage->table) {
            if (entry.kind == ConstantKind::Sampler) {
                addSampler(entry.name, entry.samplerStage);
                continue;
            }
            const auto type = active.find(entry.name);
            const auto reflected =
                std::find_if(stage->glsl.uniforms.begin(), stage->glsl.uniforms.end(),
                             [&](const fx::UniformBinding& u) { return u.glslName == entry.name; });
            if (type == active.end() || reflected == stage->glsl.uniforms.end() ||
                !reflected->used) {
                continue;
            }
            Program::Uniform uniform;
            uniform.location = glGetUniformLocation(name, entry.name.c_str());
            uniform.type = type->second.first;
            uniform.arraySize = type->second.second;
            uniform.vertexStage = stage->vertex;
            uniform.kind = entry.kind;
            uniform.registerIndex = entry.registerIndex;
            uniform.registerCount = entry.registerCount;
            // Each stage names its own uniforms; a name the table lists twice is fed once.
            const bool taken = std::any_of(
                program->uniforms.begin(), program->uniforms.end(),
                [&](const Program::Uniform& other) { return other.location == uniform.location; });
            if (uniform.location >= 0 && !taken) {
                program->uniforms.push_back(std::move(uniform));
            }
        }
        // Samplers the table leaves out keep the register the compiler gave them.
        for (const auto& sampler : stage->glsl.samplers) {
            const bool listed = std::any_of(
                stage->table.begin(), stage->table.end(),
                [&](const ShaderUniform& entry) { return entry.name == sampler.glslName; });
            if (!listed) {
                addSampler(sampler.glslName, sampler.deviceSampler);
            }
        }
    }
    std::sort(stages.begin(), stages.end());
    stages.erase(std::unique(stages.begin(), stages.end()), stages.end());
    program->textureStages = std::move(stages);
    program->textureFactor = glGetUniformLocation(name, "ff_tfactor");
    program->positionAdjust = glGetUniformLocation(name, kPositionAdjust);
    program->alphaTest = glGetUniformLocation(name, kAlphaTest);
    // The program in force is the cache's business: put back the one it knows.
    glUseProgram(cache_.currentProgram());
    Program* result = program.get();
    programs_[{&vertex, &pixel}] = std::move(program);
    return result;
}

void ProgramCache::upload(Program& program, const DeviceState& state, UINT viewportWidth,
                          UINT viewportHeight) {
    // A stage whose registers were not set since they were last uploaded is skipped whole.
    const bool vertexKnown = state.vertexConstantsVersion != 0 &&
                             state.vertexConstantsVersion == program.vertexConstantsVersion;
    const bool pixelKnown = state.pixelConstantsVersion != 0 &&
                            state.pixelConstantsVersion == program.pixelConstantsVersion;
    program.vertexConstantsVersion = state.vertexConstantsVersion;
    program.pixelConstantsVersion = state.pixelConstantsVersion;
    for (Program::Uniform& uniform : program.uniforms) {
        if (uniform.vertexStage ? vertexKnown : pixelKnown) {
            continue;
        }
        const TypeShape shape = shapeOf(uniform.type);
        const float* floats = floatScratch_.data();
        const GLint* ints = intScratch_.data();
        auto collect = [&](auto* out, size_t capacity) -> size_t {
            switch (uniform.kind) {
                case ConstantKind::Float: {
                    const auto& file =
                        uniform.vertexStage ? state.vertexConstants : state.pixelConstants;
                    return gather(out, capacity, file.data(), kShaderConstantCount, 4,
                                  uniform.registerIndex, uniform.registerCount, shape,
                                  uniform.arraySize);
                }
                case ConstantKind::Int: {
                    const auto& file =
                        uniform.vertexStage ? state.vertexIntConstants : state.pixelIntConstants;
                    return gather(out, capacity, file.data(), kIntConstantCount, 4,
                                  uniform.registerIndex, uniform.registerCount, shape,
                                  uniform.arraySize);
                }
                default: {
                    const auto& file =
                        uniform.vertexStage ? state.vertexBoolConstants : state.pixelBoolConstants;
                    return gather(out, capacity, file.data(), kBoolConstantCount, 1,
                                  uniform.registerIndex, uniform.registerCount,
                                  TypeShape{false, false, 1}, uniform.arraySize);
                }
            }
        };
        const std::uint8_t* bytes = nullptr;
        size_t size = 0;
        if (shape.isFloat && uniform.kind == ConstantKind::Float && shape.components % 4 == 0) {
            // Whole registers per element, one after the other: the register file already
            // holds the values as GL takes them.
            floats = contiguous(uniform, shape,
                                uniform.vertexStage ? state.vertexConstants : state.pixelConstants,
                                size);
            bytes = reinterpret_cast<const std::uint8_t*>(floats);
        } else if (shape.isFloat) {
            size = collect(floatScratch_.data(), floatScratch_.size()) * sizeof(float);
            bytes = reinterpret_cast<const std::uint8_t*>(floats);
        } else {
            size = collect(intScratch_.data(), intScratch_.size()) * sizeof(GLint);
            bytes = reinterpret_cast<const std::uint8_t*>(ints);
        }
        const GLsizei elements =
            static_cast<GLsizei>(shape.components > 0 ? (size / 4) / shape.components : 0);
        if (elements == 0 ||
            (uniform.last.size() == size && std::memcmp(uniform.last.data(), bytes, size) == 0)) {
            continue;
        }
        uniform.last.assign(bytes, bytes + size);
        const GLint at = uniform.location;
        switch (uniform.type) {
            case GL_FLOAT:
                glUniform1fv(at, elements, floats);
                break;
            case GL_FLOAT_VEC2:
                glUniform2fv(at, elements, floats);
                break;
            case GL_FLOAT_VEC3:
                glUniform3fv(at, elements, floats);
                break;
            case GL_FLOAT_VEC4:
                glUniform4fv(at, elements, floats);
                break;
            // Row-vector matrices go in as stored: GL reads them column by column, which
            // is what `v * M` in the translated shader expects.
            case GL_FLOAT_MAT2:
                glUniformMatrix2fv(at, elements, GL_FALSE, floats);
                break;
            case GL_FLOAT_MAT3:
                glUniformMatrix3fv(at, elements, GL_FALSE, floats);
                break;
            case GL_FLOAT_MAT4:
                glUniformMatrix4fv(at, elements, GL_FALSE, floats);
                break;
            case GL_FLOAT_MAT2x3:
                glUniformMatrix2x3fv(at, elements, GL_FALSE, floats);
                break;
            case GL_FLOAT_MAT3x2:
                glUniformMatrix3x2fv(at, elements, GL_FALSE, floats);
                break;
            case GL_FLOAT_MAT2x4:
                glUniformMatrix2x4fv(at, elements, GL_FALSE, floats);
                break;
            case GL_FLOAT_MAT4x2:
                glUniformMatrix4x2fv(at, elements, GL_FALSE, floats);
                break;
            case GL_FLOAT_MAT3x4:
                glUniformMatrix3x4fv(at, elements, GL_FALSE, floats);
                break;
            case GL_FLOAT_MAT4x3:
                glUniformMatrix4x3fv(at, elements, GL_FALSE, floats);
                break;
            // Booleans of the effect reach GL as unsigned integers.
            case GL_UNSIGNED_INT:
                glUniform1uiv(at, elements, reinterpret_cast<const GLuint*>(ints));
                break;
            case GL_UNSIGNED_INT_VEC2:
                glUniform2uiv(at, elements, reinterpret_cast<const GLuint*>(ints));
                break;
            case GL_UNSIGNED_INT_VEC3:
                glUniform3uiv(at, elements, reinterpret_cast<const GLuint*>(ints));
                break;
            case GL_UNSIGNED_INT_VEC4:
                glUniform4uiv(at, elements, reinterpret_cast<const GLuint*>(ints));
                break;
            case GL_INT_VEC2:
            case GL_BOOL_VEC2:
                glUniform2iv(at, elements, ints);
                break;
            case GL_INT_VEC3:
            case GL_BOOL_VEC3:
                glUniform3iv(at, elements, ints);
                break;
            case GL_INT_VEC4:
            case GL_BOOL_VEC4:
                glUniform4iv(at, elements, ints);
                break;
            default:
                glUniform1iv(at, elements, ints);
                break;
        }
    }

    // The rest follows the render states and the viewport alone.
    if (state.renderStatesVersion != 0 &&
        state.renderStatesVersion == program.renderStatesVersion) {
        return;
    }
    program.renderStatesVersion = state.renderStatesVersion;
    if (program.textureFactor >= 0) {
        const DWORD c = state.renderState(D3DRS_TEXTUREFACTOR);
        const std::array<float, 4> factor{{((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f,
                                           (c & 0xFF) / 255.0f, ((c >> 24) & 0xFF) / 255.0f}};
        if (factor != program.lastFactor) {
            glUniform4fv(program.textureFactor, 1, factor.data());
            program.lastFactor = factor;
        }
    }
    if (program.positionAdjust >= 0) {
        // Direct3D samples pixel (i, j) at its corner, GL at its centre: every draw moves
        // half a pixel right and down (down is -y in GL's clip space). One sub-pixel step
        // (1/256) less keeps edges off pixel centres, so a centre on an edge goes to the
        // triangle on its right and below, Direct3D's top-left rule, whatever GL's own.
        const float half = 1.0f - 1.0f / 128.0f;
        const std::array<float, 2> adjust{
            {half / static_cast<float>(std::max(1u, viewportWidth)),
             -half / static_cast<float>(std::max(1u, viewportHeight))}};
        if (adjust != program.lastAdjust) {
            glUniform4f(program.positionAdjust, adjust[0], adjust[1], 0.0f, 0.0f);
            program.lastAdjust = adjust;
        }
    }
    if (program.alphaTest >= 0) {
        const bool on = state.renderState(D3DRS_ALPHATESTENABLE) != FALSE;
        const std::array<float, 2> test{
            {on ? static_cast<float>(state.renderState(D3DRS_ALPHAFUNC)) : 0.0f,
             static_cast<float>(state.renderState(D3DRS_ALPHAREF) & 0xFF)}};
        if (test != program.lastAlphaTest) {
            glUniform2f(program.alphaTest, test[0], test[1]);
            program.lastAlphaTest = test;
        }
    }
}

void ProgramCache::dropPrograms(const Stage* stage, bool withGl) {
    last_ = Choice();
    for (auto it = programs_.begin(); it != programs_.end();) {
        if (it->first.first == stage || it->first.second == stage) {
            if (it->second && withGl) {
                cache_.programDeleted(it->second->name);
                glDeleteProgram(it->second->name);
            }
            it = programs_.erase(it);
        } else {
            ++it;
        }
    }
}

void ProgramCache::shaderDestroyed(const ShaderCode& code, bool withGl) {
    for (bool alphaTest : {false, true}) {
        auto found = shaders_.find({code.id, alphaTest});
        if (found == shaders_.end()) {
            continue;
        }
        dropPrograms(found->second.get(), withGl);
        if (found->second->shader != 0 && withGl) {
            glDeleteShader(found->second->shader);
        }
        shaders_.erase(found);
    }
}

}  // namespace d3d9::gl
