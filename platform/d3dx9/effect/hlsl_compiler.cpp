#include "hlsl_compiler.h"

#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>
#include <unordered_set>

#include "compiled_packing.h"
#include "compiler_process.h"
#include "entry_wrapper.h"
#include "flow_nesting.h"

namespace d3dx9::fx {
namespace {

// A compile takes milliseconds; a child still at it after this is stuck in a loop.
constexpr std::chrono::milliseconds kCompileTimeout{5000};

const EShMessages kMessages =
    static_cast<EShMessages>(EShMsgReadHlsl | EShMsgSpvRules | EShMsgVulkanRules |
                             EShMsgHlslDX9Compatible | EShMsgHlslLegalization);

bool parseHlsl(glslang::TShader& shader, EShLanguage stage, const std::string& source,
               const std::string& entry) {
    const char* strings[] = {source.c_str()};
    const int lengths[] = {static_cast<int>(source.size())};
    const char* names[] = {"fx0"};
    shader.setStringsWithLengthsAndNames(strings, lengths, names, 1);
    shader.setEntryPoint(entry.c_str());
    shader.setSourceEntryPoint(entry.c_str());
    shader.setEnvInput(glslang::EShSourceHlsl, stage, glslang::EShClientVulkan, 100);
    shader.setEnvClient(glslang::EShClientVulkan, glslang::EShTargetVulkan_1_0);
    shader.setEnvTarget(glslang::EShTargetSpv, glslang::EShTargetSpv_1_0);
    // Keeps the HLSL semantics in the SPIR-V, so that the stages can be matched by them.
    shader.setEnvTargetHlslFunctionality1();
    shader.setAutoMapBindings(true);
    shader.setAutoMapLocations(true);
    return shader.parse(GetDefaultResources(), 100, false, kMessages);
}

// glslang keeps process-wide tables; they are set up on first use and torn down at exit.
// Its built-in symbol tables for a stage are built by the first parse and kept: built here,
// in the parent, from a fixed shader glslang is known to read, every compile's child starts
// with them (about 20 ms a compile otherwise).
void ensureGlslang() {
    struct Process {
        Process() {
            glslang::InitializeProcess();
            for (const EShLanguage stage : {EShLangVertex, EShLangFragment}) {
                glslang::TShader shader(stage);
                parseHlsl(shader, stage, "float4 main() : SV_Position { return 0; }", "main");
            }
        }
        ~Process() { glslang::FinalizeProcess(); }
    };
    static Process process;
}

// Source names handed to glslang: "fx<index of the file>", mapped back in messages.
std::string sourceName(const EffectDesc& effect, const std::string& file) {
    for (std::size_t i = 0; i < effect.files.size(); ++i) {
        if (effect.files[i] == file) {
            return "fx" + std::to_string(i);
        }
    }
    return "fx0";
}

std::string lineMark(const EffectDesc& effect, const SourceLocation& where) {
    return "#line " + std::to_string(where.line > 0 ? where.line : 1) + " \"" +
           sourceName(effect, where.file) + "\"\n";
}

// Rewrites glslang's "ERROR: fx0:12: 'x' : message" lines as "file(12): error: 'x' :
// message"; lines without a location are kept as they are, the summary line dropped.
std::string mapMessages(const EffectDesc& effect, const std::string& log) {
    std::istringstream in(log);
    std::string line;
    std::string out;
    while (std::getline(in, line)) {
        if (line.empty()) {
            continue;
        }
        std::string kind;
        std::string rest = line;
        if (line.rfind("ERROR: ", 0) == 0) {
            kind = "error";
            rest = line.substr(7);
        } else if (line.rfind("WARNING: ", 0) == 0) {
            kind = "warning";
            rest = line.substr(9);
        }
        if (rest.find("compilation errors.") != std::string::npos ||
            rest.find("compilation warnings.") != std::string::npos) {
            continue;
        }
        unsigned index = 0;
        int lineNo = 0;
        int used = 0;
        if (rest.rfind("fx", 0) == 0 &&
            std::sscanf(rest.c_str(), "fx%u:%d:%n", &index, &lineNo, &used) == 2 && used > 0 &&
            index < effect.files.size()) {
            std::string message = rest.substr(static_cast<std::size_t>(used));
            while (!message.empty() && message.front() == ' ') {
                message.erase(0, 1);
            }
            out += effect.files[index] + "(" + std::to_string(lineNo) +
                   "): " + (kind.empty() ? "" : kind + ": ") + message + "\n";
        } else if (rest.rfind("fx", 0) == 0 &&
                   std::sscanf(rest.c_str(), "fx%u(%d):%n", &index, &lineNo, &used) == 2 &&
                   used > 0 && index < effect.files.size()) {
            out += effect.files[index] + "(" + std::to_string(lineNo) +
                   "):" + rest.substr(static_cast<std::size_t>(used)) + "\n";
        } else {
            out += line + "\n";
        }
    }
    return out;
}

bool declaredToCompiler(const Parameter& p) {
    return p.type == ParamType::Bool || p.type == ParamType::Int || p.type == ParamType::Float ||
           p.type == ParamType::Sampler;
}

void addWords(const std::string& text, std::unordered_set<std::string>& words) {
    auto wordChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    for (std::size_t i = 0; i < text.size();) {
        if (!wordChar(text[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < text.size() && wordChar(text[i])) {
            ++i;
        }
        words.insert(text.substr(start, i - start));
    }
}

// Every word of the effect's code and of its shader calls' arguments: a parameter no code
// names need not be declared. The compiler's work then grows with the code, not with the
// parameters (100,000 of them made a uniform block larger than SPIR-V can describe).
std::unordered_set<std::string> wordsOfCode(const EffectDesc& effect) {
    std::unordered_set<std::string> words;
    for (const auto& c : effect.hlsl) {
        addWords(c.text, words);
    }
    for (const auto& technique : effect.techniques) {
        for (const auto& pass : technique.passes) {
            for (const auto& assignment : pass.assignments) {
                for (const auto& argument : assignment.shader.arguments) {
                    addWords(argument, words);
                }
            }
        }
    }
    return words;
}

// Constant registers a parameter occupies: one per vector, one per matrix column
// (column_major is HLSL's default) or row (row_major), times the array length.
unsigned registersOf(const Parameter& p) {
    unsigned perElement = 1;
    if (p.rows > 1) {
        perElement = p.layout == "row_major" ? p.rows : p.columns;
    }
    return perElement * (p.elements ? p.elements : 1);
}

std::string baseName(const std::string& reflected) {
    std::string name = reflected;
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        name = name.substr(dot + 1);
    }
    const std::size_t bracket = name.find('[');
    if (bracket != std::string::npos) {
        name = name.substr(0, bracket);
    }
    return name;
}

// Everything that runs glslang: in the child process only.
void runGlslang(const EffectDesc& effect, const StateAssignment& assignment,
                const std::string& source, const std::string& entry, CompiledShader& result) {
    const std::string at =
        assignment.where.file + "(" + std::to_string(assignment.where.line) + "): ";
    const ShaderCall& call = assignment.shader;
    const bool vertex = result.profile.vertex;
    const EShLanguage stage = vertex ? EShLangVertex : EShLangFragment;
    glslang::TShader shader(stage);
    if (!parseHlsl(shader, stage, source, entry)) {
        throw ShaderError(at + "error: compiling " + call.entry + " for " + call.profile +
                          " failed\n" + mapMessages(effect, shader.getInfoLog()));
    }
    result.warnings = mapMessages(effect, shader.getInfoLog());

    glslang::TProgram program;
    program.addShader(&shader);
    if (!program.link(kMessages) || !program.mapIO()) {
        throw ShaderError(at + "error: linking " + call.entry + " for " + call.profile +
                          " failed\n" + mapMessages(effect, program.getInfoLog()));
    }

    // Profile limits, from the parameters the shader really uses.
    program.buildReflection();
    unsigned registers = 0;
    unsigned samplers = 0;
    std::set<std::string> seen;
    for (int i = 0; i < program.getNumUniformVariables(); ++i) {
        const std::string name = baseName(program.getUniform(i).name);
        if (!seen.insert(name).second) {
            continue;
        }
        const Parameter* p = effect.findParameter(name);
        if (!p) {
            continue;
        }
        if (p->type == ParamType::Sampler) {
            samplers += p->elements ? p->elements : 1;
        } else {
            registers += registersOf(*p);
        }
    }
    if (registers > result.profile.constantRegisters) {
        throw ShaderError(at + "error: " + call.entry + " needs " + std::to_string(registers) +
                          " constant registers, " + call.profile + " offers " +
                          std::to_string(result.profile.constantRegisters));
    }
    if (samplers > result.profile.samplers) {
        throw ShaderError(at + "error: " + call.entry + " uses " + std::to_string(samplers) +
                          " samplers, " + call.profile + " offers " +
                          std::to_string(result.profile.samplers));
    }

    glslang::SpvOptions options;
    options.validate = false;
    spv::SpvBuildLogger logger;
    glslang::GlslangToSpv(*program.getIntermediate(stage), result.spirv, &logger, &options);
    if (result.spirv.empty()) {
        throw ShaderError(at + "error: no SPIR-V generated for " + call.entry + "\n" +
                          logger.getAllMessages());
    }
}

}  // namespace

bool parseProfile(const std::string& name, ShaderProfile& profile) {
    static const struct {
        const char* name;
        bool vertex;
        unsigned major, minor, constants, samplers;
    } kProfiles[] = {
        {"vs_1_1", true, 1, 1, 96, 0},   {"vs_2_0", true, 2, 0, 256, 0},
        {"vs_2_a", true, 2, 0, 256, 0},  {"vs_3_0", true, 3, 0, 256, 4},
        {"ps_1_1", false, 1, 1, 8, 4},   {"ps_1_2", false, 1, 2, 8, 4},
        {"ps_1_3", false, 1, 3, 8, 4},   {"ps_1_4", false, 1, 4, 8, 6},
        {"ps_2_0", false, 2, 0, 32, 16}, {"ps_2_a", false, 2, 0, 32, 16},
        {"ps_2_b", false, 2, 0, 32, 16}, {"ps_3_0", false, 3, 0, 224, 16},
    };
    for (const auto& p : kProfiles) {
        if (name == p.name) {
            profile.vertex = p.vertex;
            profile.major = p.major;
            profile.minor = p.minor;
            profile.constantRegisters = p.constants;
            profile.samplers = p.samplers;
            profile.version = (p.vertex ? 0xFFFE0000u : 0xFFFF0000u) | (p.major << 8) | p.minor;
            return true;
        }
    }
    return false;
}

bool profileSupported(const ShaderProfile& profile, std::uint32_t capsVersion) {
    const std::uint32_t expectedTag = profile.vertex ? 0xFFFE0000u : 0xFFFF0000u;
    if ((capsVersion & 0xFFFF0000u) != expectedTag) {
        return false;
    }
    return (capsVersion & 0xFFFFu) >= (profile.version & 0xFFFFu);
}

std::string hlslSource(const EffectDesc& effect) {
    std::string src;
    // A DX9 POSITION output must become the clip position, not a varying; the vertex input
    // of that name is mapped back to POSITION0 by the GLSL translation. A pixel shader
    // taking the vertex shader's output struct then sees the builtin, not a varying no
    // vertex stage writes.
    src += "#define POSITION SV_Position\n#define POSITION0 SV_Position\n";
    const std::unordered_set<std::string> named = wordsOfCode(effect);
    for (const auto& p : effect.parameters) {
        if (!declaredToCompiler(p) || named.count(p.name) == 0) {
            continue;
        }
        src += lineMark(effect, p.where);
        if (!p.layout.empty()) {
            src += p.layout + " ";
        }
        src += p.typeName + " " + p.name;
        if (p.elements) {
            src += "[" + std::to_string(p.elements) + "]";
        }
        src += ";\n";
    }
    for (const auto& c : effect.hlsl) {
        src += lineMark(effect, c.where);
        src += c.text;
        src += "\n";
    }
    return src;
}

CompiledShader compileShader(const EffectDesc& effect, const StateAssignment& assignment) {
    const std::string at =
        assignment.where.file + "(" + std::to_string(assignment.where.line) + "): ";
    if (assignment.source != ValueSource::Shader) {
        throw ShaderError(at + "error: " + assignment.name + " is not a compile expression");
    }
    const ShaderCall& call = assignment.shader;
    CompiledShader result;
    result.entry = call.entry;
    if (!parseProfile(call.profile, result.profile)) {
        throw ShaderError(at + "error: unknown shader profile '" + call.profile + "'");
    }
    std::string source = hlslSource(effect);
    std::string entry = call.entry;
    if (!call.arguments.empty()) {
        const EntryWrapper wrapper = wrapEntry(effect, assignment);
        source += lineMark(effect, assignment.where) + wrapper.text;
        entry = wrapper.name;
    }
    const std::string tooDeep = nestingError(source, entry, effect.files,
                                             nestingLimitsOf(result.profile.major), call.profile);
    if (!tooDeep.empty()) {
        throw ShaderError(tooDeep);
    }
    ensureGlslang();

    const ChildOutcome outcome = runInChild(
        [&]() {
            CompiledShader compiled = result;
            try {
                runGlslang(effect, assignment, source, entry, compiled);
            } catch (const std::exception& e) {
                return packFailure(e.what());
            }
            try {
                compiled.glsl = translateToGlsl(compiled.spirv, compiled.profile.vertex, effect);
            } catch (const std::exception& e) {
                return packFailure(at + "error: " + e.what());
            }
            return packSuccess(compiled);
        },
        kCompileTimeout);
    if (!outcome.finished) {
        throw ShaderError(at + "error: the shader compiler failed on this code (" +
                          outcome.failure + ")");
    }
    unpack(outcome.output, result);
    return result;
}

}  // namespace d3dx9::fx
