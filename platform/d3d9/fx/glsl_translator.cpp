#include "d3d9/fx/glsl_translator.h"

#include <spirv_cross/spirv_cross_c.h>

#include <cctype>
#include <memory>
#include <string>
#include <vector>

namespace d3dx9::fx {
namespace {

constexpr std::uint32_t kVertexTextureSampler0 = 257;  // D3DVERTEXTEXTURESAMPLER0

struct ContextDeleter {
    void operator()(spvc_context_s* c) const { spvc_context_destroy(c); }
};
using Context = std::unique_ptr<spvc_context_s, ContextDeleter>;

// A varying narrower than a vec4: the shader's own variable and the vec4 the stages share.
struct Varying {
    std::string own;     // "dx_TEXCOORD0", private to the stage
    std::string shared;  // "fx_TEXCOORD0", or "gl_Position", which GLSL declares itself
    unsigned width = 4;
};

constexpr const char* kClipPosition = "gl_Position";

std::string padded(const Varying& v) {
    static const char* const kPadding[] = {"", ", 0.0, 0.0, 1.0", ", 0.0, 1.0", ", 1.0"};
    return "vec4(" + v.own + kPadding[v.width] + ")";
}

// Turns the stage's declaration of its own variable ("out vec2 dx_TEXCOORD0;", qualifiers
// and all) into a private global, and declares the shared vec4 with the same qualifiers.
void shareAsVec4(std::string& source, const Varying& v) {
    const std::string name = " " + v.own + ";";
    const std::size_t end = source.find(name);
    if (end == std::string::npos) {
        throw EffectError("SPIR-V to GLSL: no declaration of " + v.own);
    }
    const std::size_t start = source.rfind('\n', end) + 1;  // npos + 1 is the first line
    const std::string line = source.substr(start, end - start);
    const std::size_t typeAt = line.rfind(' ');
    const std::string qualifiers = line.substr(0, typeAt == std::string::npos ? 0 : typeAt);
    auto endsWith = [&](const std::string& word) {
        return qualifiers.size() >= word.size() &&
               qualifiers.compare(qualifiers.size() - word.size(), word.size(), word) == 0;
    };
    if (typeAt == std::string::npos || !(endsWith("in") || endsWith("out"))) {
        throw EffectError("SPIR-V to GLSL: unexpected declaration of " + v.own);
    }
    const std::string type = line.substr(typeAt + 1);
    source.replace(
        start, end + name.size() - start,
        type + name +
            (v.shared == kClipPosition ? "" : "\n" + qualifiers + " vec4 " + v.shared + ";"));
}

void check(spvc_result r, spvc_context context, const char* what) {
    if (r != SPVC_SUCCESS) {
        throw EffectError(std::string("SPIR-V to GLSL: ") + what + ": " +
                          spvc_context_get_last_error_string(context));
    }
}

// "TEXCOORD1" -> ("TEXCOORD", 1); "COLOR" -> ("COLOR", 0); "SV_POSITION" -> POSITION.
void splitSemantic(const std::string& semantic, std::string& name, std::uint32_t& index) {
    std::string upper;
    for (char c : semantic) {
        // Only identifier characters survive: the result becomes part of a GLSL name.
        upper += std::isalnum(static_cast<unsigned char>(c))
                     ? static_cast<char>(std::toupper(static_cast<unsigned char>(c)))
                     : '_';
    }
    if (upper.rfind("SV_", 0) == 0) {
        upper = upper.substr(3);
    }
    std::size_t digits = upper.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(upper[digits - 1]))) {
        --digits;
    }
    name = upper.substr(0, digits);
    index =
        digits < upper.size() ? static_cast<std::uint32_t>(std::stoul(upper.substr(digits))) : 0u;
}

GlBaseType baseOf(spvc_basetype t) {
    switch (t) {
        case SPVC_BASETYPE_BOOLEAN:
            return GlBaseType::Bool;
        case SPVC_BASETYPE_INT32:
            return GlBaseType::Int;
        case SPVC_BASETYPE_UINT32:
            return GlBaseType::UInt;
        default:
            return GlBaseType::Float;
    }
}

// The entry point SPIRV-Cross emits is renamed through a header line, so that a main()
// appended after everything it wrote can run it and then add the stage's own ending.
constexpr const char* kShadedEntry = "dx_shaded_main";

}  // namespace

std::string alphaTestStatements(const std::string& colour, const std::string& uniform) {
    return "    {\n"
           "        int f = int(" +
           uniform +
           ".x);\n"
           "        float a = floor(clamp(" +
           colour +
           ".a, 0.0, 1.0) * 255.0 + 0.5);\n"
           "        float r = " +
           uniform +
           ".y;\n"
           "        bool pass = f == 0 || f == 8 || (f == 2 && a < r) || (f == 3 && a == r) ||\n"
           "            (f == 4 && a <= r) || (f == 5 && a > r) || (f == 6 && a != r) ||\n"
           "            (f == 7 && a >= r);\n"
           "        if (!pass) discard;\n"
           "    }\n";
}

void adjustPosition(std::string& source, const std::string& uniform) {
    // SPIRV-Cross emits main() last, so its closing brace ends the text.
    const std::size_t end = source.rfind('}');
    const std::size_t version = source.find('\n');
    if (end == std::string::npos || version == std::string::npos ||
        source.find("void main()") == std::string::npos) {
        throw EffectError("vertex shader without main()");
    }
    source.insert(end, "    gl_Position.xy += " + uniform + ".xy * gl_Position.w;\n");
    source.insert(version + 1, "uniform vec4 " + uniform + ";\n");
}

bool usageFromSemantic(const std::string& name, std::uint32_t& usage) {
    static const struct {
        const char* name;
        std::uint32_t usage;
    } kUsages[] = {{"POSITION", 0},   {"BLENDWEIGHT", 1}, {"BLENDINDICES", 2}, {"NORMAL", 3},
                   {"PSIZE", 4},      {"TEXCOORD", 5},    {"TANGENT", 6},      {"BINORMAL", 7},
                   {"TESSFACTOR", 8}, {"POSITIONT", 9},   {"COLOR", 10},       {"FOG", 11},
                   {"DEPTH", 12},     {"SAMPLE", 13}};
    for (const auto& u : kUsages) {
        if (name == u.name) {
            usage = u.usage;
            return true;
        }
    }
    return false;
}

GlslShader translateToGlsl(const std::vector<std::uint32_t>& spirv, bool vertexStage,
                           const EffectDesc& effect, const TranslateOptions& options) {
    spvc_context raw = nullptr;
    if (spvc_context_create(&raw) != SPVC_SUCCESS) {
        throw EffectError("SPIR-V to GLSL: cannot create a context");
    }
    Context context(raw);
    spvc_parsed_ir ir = nullptr;
    check(spvc_context_parse_spirv(raw, spirv.data(), spirv.size(), &ir), raw, "parse");
    spvc_compiler compiler = nullptr;
    check(spvc_context_create_compiler(raw, SPVC_BACKEND_GLSL, ir, SPVC_CAPTURE_MODE_TAKE_OWNERSHIP,
                                       &compiler),
          raw, "compiler");

    spvc_resources resources = nullptr;
    check(spvc_compiler_create_shader_resources(compiler, &resources), raw, "resources");

    // Direct3D takes a position output narrower than float4 and pads it (0, 0, 0, 1);
    // gl_Position is a vec4 only. The shader writes a private variable of its own width
    // instead, copied into gl_Position after the entry point.
    std::vector<Varying> widened;
    if (vertexStage) {
        const spvc_reflected_builtin_resource* builtins = nullptr;
        size_t builtinCount = 0;
        check(spvc_resources_get_builtin_resource_list_for_type(
                  resources, SPVC_BUILTIN_RESOURCE_TYPE_STAGE_OUTPUT, &builtins, &builtinCount),
              raw, "built-in outputs");
        for (size_t i = 0; i < builtinCount; ++i) {
            const spvc_type type =
                spvc_compiler_get_type_handle(compiler, builtins[i].value_type_id);
            const unsigned width = spvc_type_get_vector_size(type);
            if (builtins[i].builtin == SpvBuiltInPosition && width >= 1 && width < 4 &&
                spvc_type_get_basetype(type) == SPVC_BASETYPE_FP32) {
                const std::string own = "dx_POSITION0";
                spvc_compiler_unset_decoration(compiler, builtins[i].resource.id,
                                               SpvDecorationBuiltIn);
                spvc_compiler_set_name(compiler, builtins[i].resource.id, own.c_str());
                widened.push_back({own, kClipPosition, width});
            }
        }
    }
    // With the position written after the entry point, so is its depth fixup.
    const bool fixupAfterEntry = !widened.empty() && options.fixupDepth;

    spvc_compiler_options opts = nullptr;
    check(spvc_compiler_create_compiler_options(compiler, &opts), raw, "options");
    spvc_compiler_options_set_uint(opts, SPVC_COMPILER_OPTION_GLSL_VERSION, 330);
    spvc_compiler_options_set_bool(opts, SPVC_COMPILER_OPTION_GLSL_ES, SPVC_FALSE);
    spvc_compiler_options_set_bool(opts, SPVC_COMPILER_OPTION_GLSL_ENABLE_420PACK_EXTENSION,
                                   SPVC_FALSE);
    spvc_compiler_options_set_bool(
        opts, SPVC_COMPILER_OPTION_GLSL_EMIT_UNIFORM_BUFFER_AS_PLAIN_UNIFORMS, SPVC_TRUE);
    spvc_compiler_options_set_bool(
        opts, SPVC_COMPILER_OPTION_FIXUP_DEPTH_CONVENTION,
        vertexStage && options.fixupDepth && !fixupAfterEntry ? SPVC_TRUE : SPVC_FALSE);
    check(spvc_compiler_install_compiler_options(compiler, opts), raw, "install options");

    GlslShader out;
    out.vertex = vertexStage;
    const spvc_reflected_resource* list = nullptr;
    size_t count = 0;

    // Direct3D pairs any vertex shader with any pixel shader, also of two effects whose
    // parameters differ: every name a stage declares for the effect carries the stage, so
    // that no uniform of one stage can meet a differently declared one of the other.
    const std::string stageName = vertexStage ? "vs_fx" : "ps_fx";

    // Effect parameters: the members of the one global block, emitted as a struct uniform.
    spvc_resources_get_resource_list_for_type(resources, SPVC_RESOURCE_TYPE_UNIFORM_BUFFER, &list,
                                              &count);
    for (size_t i = 0; i < count; ++i) {
        spvc_compiler_set_name(compiler, list[i].id, stageName.c_str());
        spvc_compiler_set_name(compiler, list[i].base_type_id, (stageName + "_parameters").c_str());
        spvc_type block = spvc_compiler_get_type_handle(compiler, list[i].base_type_id);
        const unsigned members = spvc_type_get_num_member_types(block);
        const spvc_buffer_range* ranges = nullptr;
        size_t rangeCount = 0;
        check(spvc_compiler_get_active_buffer_ranges(compiler, list[i].id, &ranges, &rangeCount),
              raw, "active uniforms");
        for (unsigned m = 0; m < members; ++m) {
            UniformBinding u;
            u.used = false;
            for (size_t r = 0; r < rangeCount; ++r) {
                u.used = u.used || ranges[r].index == m;
            }
            u.parameter = spvc_compiler_get_member_name(compiler, list[i].base_type_id, m);
            u.glslName = stageName + "." + u.parameter;
            spvc_type member =
                spvc_compiler_get_type_handle(compiler, spvc_type_get_member_type(block, m));
            u.base = baseOf(spvc_type_get_basetype(member));
            if (const Parameter* p = effect.findParameter(u.parameter)) {
                u.rows = p->rows;
                u.columns = p->columns;
                u.elements = p->elements;
            } else {
                u.columns = spvc_type_get_vector_size(member);
                u.rows = spvc_type_get_columns(member);
            }
            // A plain uniform is read column by column, which is exactly how a row-vector
            // D3D matrix is stored for mul(v, M): no transpose on upload.
            u.transpose = false;
            out.uniforms.push_back(u);
        }
    }

    spvc_resources_get_resource_list_for_type(resources, SPVC_RESOURCE_TYPE_SAMPLED_IMAGE, &list,
                                              &count);
    for (size_t i = 0; i < count; ++i) {
        SamplerBinding s;
        s.sampler = list[i].name;
        s.glslName = stageName + "_" + s.sampler;
        spvc_compiler_set_name(compiler, list[i].id, s.glslName.c_str());
        const std::uint32_t binding =
            spvc_compiler_get_decoration(compiler, list[i].id, SpvDecorationBinding);
        s.deviceSampler = vertexStage ? kVertexTextureSampler0 + binding : binding;
        if (const Parameter* p = effect.findParameter(s.sampler)) {
            for (const auto& a : p->samplerStates) {
                if (a.kind == SamplerStateKind::Texture) {
                    s.texture = a.parameter;
                }
            }
        }
        out.samplers.push_back(s);
    }

    auto semanticOf = [&](const spvc_reflected_resource& r, std::string& name,
                          std::uint32_t& index) {
        const char* sem =
            spvc_compiler_get_decoration_string(compiler, r.id, SpvDecorationUserSemantic);
        splitSemantic(sem && *sem ? sem : r.name, name, index);
    };

    // Direct3D links a vertex output to a pixel input by semantic whatever their widths (a
    // float4 written, a float2 read); GLSL wants one type on both sides. Every varying is
    // therefore a vec4 between the stages, and the shader's own variable of its own width is
    // a private global, copied from the varying before the entry point (pixel shaders) or
    // into it, padded as Direct3D pads (0, 0, 0, 1), after it (vertex shaders).
    auto widen = [&](const spvc_reflected_resource& r, const std::string& glslName) {
        const spvc_type type = spvc_compiler_get_type_handle(compiler, r.type_id);
        const unsigned width = spvc_type_get_vector_size(type);
        out.varyings.push_back(glslName);
        out.varyingComponents.push_back(width);
        if (spvc_type_get_basetype(type) != SPVC_BASETYPE_FP32 ||
            spvc_type_get_num_array_dimensions(type) != 0 || spvc_type_get_columns(type) != 1 ||
            width == 0 || width == 4) {
            spvc_compiler_set_name(compiler, r.id, glslName.c_str());
            return;
        }
        const std::string own = "dx" + glslName.substr(2);
        spvc_compiler_set_name(compiler, r.id, own.c_str());
        widened.push_back({own, glslName, width});
    };

    spvc_resources_get_resource_list_for_type(resources, SPVC_RESOURCE_TYPE_STAGE_INPUT, &list,
                                              &count);
    for (size_t i = 0; i < count; ++i) {
        std::string name;
        std::uint32_t index = 0;
        semanticOf(list[i], name, index);
        const std::string glslName = (vertexStage ? "in_" : "fx_") + name + std::to_string(index);
        spvc_compiler_set_name(compiler, list[i].id, glslName.c_str());
        if (vertexStage) {
            VertexAttribute a;
            a.glslName = glslName;
            if (!usageFromSemantic(name, a.usage)) {
                throw EffectError("SPIR-V to GLSL: unknown vertex input semantic '" + name + "'");
            }
            a.usageIndex = index;
            a.location = spvc_compiler_get_decoration(compiler, list[i].id, SpvDecorationLocation);
            a.components =
                spvc_type_get_vector_size(spvc_compiler_get_type_handle(compiler, list[i].type_id));
            out.attributes.push_back(a);
        } else {
            widen(list[i], glslName);
        }
    }
    if (vertexStage) {
        spvc_resources_get_resource_list_for_type(resources, SPVC_RESOURCE_TYPE_STAGE_OUTPUT, &list,
                                                  &count);
        for (size_t i = 0; i < count; ++i) {
            std::string name;
            std::uint32_t index = 0;
            semanticOf(list[i], name, index);
            widen(list[i], "fx_" + name + std::to_string(index));
        }
    }

    // The stage's own ending, run after the translated entry point.
    std::string ending;
    if (vertexStage && !options.positionAdjustUniform.empty()) {
        const std::string& uniform = options.positionAdjustUniform;
        check(spvc_compiler_add_header_line(compiler, ("uniform vec4 " + uniform + ";").c_str()),
              raw, "header");
        ending = "    gl_Position.xy += " + uniform + ".xy * gl_Position.w;\n";
    }
    if (!vertexStage && !options.alphaTestUniform.empty()) {
        const std::string colour = "dx_colour";
        bool named = false;
        spvc_resources_get_resource_list_for_type(resources, SPVC_RESOURCE_TYPE_STAGE_OUTPUT, &list,
                                                  &count);
        for (size_t i = 0; i < count && !named; ++i) {
            const spvc_type type = spvc_compiler_get_type_handle(compiler, list[i].type_id);
            if (spvc_compiler_get_decoration(compiler, list[i].id, SpvDecorationLocation) == 0 &&
                spvc_type_get_vector_size(type) == 4) {
                spvc_compiler_set_name(compiler, list[i].id, colour.c_str());
                named = true;
            }
        }
        if (!named) {
            throw EffectError("pixel shader without a colour output");
        }
        const std::string& uniform = options.alphaTestUniform;
        check(spvc_compiler_add_header_line(compiler, ("uniform vec2 " + uniform + ";").c_str()),
              raw, "header");
        ending = alphaTestStatements(colour, uniform);
    }
    if (fixupAfterEntry) {
        ending = "    gl_Position.z = 2.0 * gl_Position.z - gl_Position.w;\n" + ending;
    }
    std::string opening;
    for (const Varying& v : widened) {
        if (vertexStage) {
            ending = "    " + v.shared + " = " + padded(v) + ";\n" + ending;
        } else {
            opening += "    " + v.own + " = " + v.shared + std::string(".xyz", v.width + 1) + ";\n";
        }
    }
    if (!ending.empty() || !opening.empty()) {
        check(spvc_compiler_add_header_line(compiler,
                                            (std::string("#define main ") + kShadedEntry).c_str()),
              raw, "header");
    }

    const char* source = nullptr;
    check(spvc_compiler_compile(compiler, &source), raw, "compile");
    out.source = source;
    for (const Varying& v : widened) {
        shareAsVec4(out.source, v);
    }
    if (!ending.empty() || !opening.empty()) {
        out.source += std::string("\n#undef main\nvoid main()\n{\n") + opening + "    " +
                      kShadedEntry + "();\n" + ending + "}\n";
    }
    return out;
}

}  // namespace d3dx9::fx
