#include "test_support.h"

#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>

#include <strings.h>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace fxtest {
namespace {

struct Process {
    Process() { glslang::InitializeProcess(); }
    ~Process() { glslang::FinalizeProcess(); }
};

std::unique_ptr<glslang::TShader> parseGlsl(const std::string& source, bool vertex,
                                            std::string& log) {
    static Process process;
    const EShLanguage stage = vertex ? EShLangVertex : EShLangFragment;
    auto shader = std::make_unique<glslang::TShader>(stage);
    const char* strings[] = {source.c_str()};
    shader->setStrings(strings, 1);
    shader->setEnvInput(glslang::EShSourceGlsl, stage, glslang::EShClientNone, 0);
    if (!shader->parse(GetDefaultResources(), 330, ECoreProfile, false, false, EShMsgDefault)) {
        log += shader->getInfoLog();
        log += source;
        return nullptr;
    }
    return shader;
}

}  // namespace

std::string readSourceFile(const std::string& relative) {
    const char* root = std::getenv("MORVALE_SOURCE_DIR");
    const std::string path = std::string(root ? root : ".") + "/" + relative;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string glslErrors(const std::string& source, bool vertex) {
    std::string log;
    parseGlsl(source, vertex, log);
    return log;
}

std::string glslLinkErrors(const std::string& vertexSource, const std::string& pixelSource) {
    std::string log;
    auto vs = parseGlsl(vertexSource, true, log);
    auto ps = parseGlsl(pixelSource, false, log);
    if (!vs || !ps) {
        return log;
    }
    glslang::TProgram program;
    program.addShader(vs.get());
    program.addShader(ps.get());
    if (!program.link(EShMsgDefault)) {
        return std::string(program.getInfoLog()) + vertexSource + pixelSource;
    }
    return "";
}

const d3dx9::fx::StateAssignment* findAssignment(const d3dx9::fx::Pass& pass,
                                                 const std::string& name, unsigned index) {
    for (const auto& a : pass.assignments) {
        if (strcasecmp(a.name.c_str(), name.c_str()) == 0 && a.index == index) {
            return &a;
        }
    }
    return nullptr;
}

}  // namespace fxtest
