#include "fx_types.h"

#include <strings.h>

namespace d3dx9::fx {
namespace {

bool startsWith(const std::string& s, const char* prefix, std::string& rest) {
    const std::string p(prefix);
    if (s.compare(0, p.size(), p) != 0) {
        return false;
    }
    rest = s.substr(p.size());
    return true;
}

bool dimension(char c, unsigned& out) {
    if (c < '1' || c > '4') {
        return false;
    }
    out = static_cast<unsigned>(c - '0');
    return true;
}

}  // namespace

bool classifyType(const std::string& name, TypeShape& shape) {
    // Object types are accepted in any case, as effect files write them both ways.
    static const char* const kTextures[] = {"texture", "texture1D", "texture2D", "texture3D",
                                            "textureCUBE"};
    static const char* const kSamplers[] = {"sampler", "sampler1D", "sampler2D", "sampler3D",
                                            "samplerCUBE"};
    for (const char* t : kTextures) {
        if (strcasecmp(name.c_str(), t) == 0) {
            shape = TypeShape{ParamType::Texture, 1, 1};
            return true;
        }
    }
    for (const char* t : kSamplers) {
        if (strcasecmp(name.c_str(), t) == 0) {
            shape = TypeShape{ParamType::Sampler, 1, 1};
            return true;
        }
    }
    if (name == "string") {
        shape = TypeShape{ParamType::String, 1, 1};
        return true;
    }
    if (name == "matrix") {
        shape = TypeShape{ParamType::Float, 4, 4};
        return true;
    }
    if (name == "vector") {
        shape = TypeShape{ParamType::Float, 1, 4};
        return true;
    }
    static const struct {
        const char* prefix;
        ParamType type;
    } kScalars[] = {{"bool", ParamType::Bool},   {"int", ParamType::Int},
                    {"uint", ParamType::Int},    {"dword", ParamType::Int},
                    {"float", ParamType::Float}, {"half", ParamType::Float},
                    {"double", ParamType::Float}};
    for (const auto& s : kScalars) {
        std::string rest;
        if (!startsWith(name, s.prefix, rest)) {
            continue;
        }
        if (rest.empty()) {
            shape = TypeShape{s.type, 1, 1};
            return true;
        }
        unsigned a = 0;
        unsigned b = 0;
        if (rest.size() == 1 && dimension(rest[0], a)) {
            shape = TypeShape{s.type, 1, a};
            return true;
        }
        if (rest.size() == 3 && dimension(rest[0], a) && rest[1] == 'x' && dimension(rest[2], b)) {
            shape = TypeShape{s.type, a, b};
            return true;
        }
        // "int" must not match "integer" and the like: keep looking.
    }
    return false;
}

}  // namespace d3dx9::fx
