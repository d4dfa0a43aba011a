#include "compiled_packing.h"

#include <cstdint>
#include <cstring>

namespace d3dx9::fx {
namespace {

class Writer {
public:
    explicit Writer(std::string& out) : out_(out) {}

    void number(std::uint64_t value) {
        out_.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    void text(const std::string& value) {
        number(value.size());
        out_ += value;
    }
    template <class T, class Each>
    void list(const std::vector<T>& items, Each each) {
        number(items.size());
        for (const T& item : items) {
            each(item);
        }
    }

private:
    std::string& out_;
};

class Reader {
public:
    explicit Reader(const std::string& in) : in_(in) {}

    std::uint64_t number() {
        std::uint64_t value = 0;
        need(sizeof value);
        std::memcpy(&value, in_.data() + at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    unsigned small() { return static_cast<unsigned>(number()); }
    std::string text() {
        const std::uint64_t size = number();
        need(size);
        std::string value = in_.substr(at_, size);
        at_ += size;
        return value;
    }
    // Every item takes at least one byte, so a count past the bytes left is damage.
    template <class T, class Each>
    void list(std::vector<T>& items, Each each) {
        const std::uint64_t count = number();
        need(count);
        items.resize(count);
        for (T& item : items) {
            each(item);
        }
    }
    bool atEnd() const { return at_ == in_.size(); }

private:
    void need(std::uint64_t bytes) const {
        if (bytes > in_.size() - at_) {
            throw ShaderError("the shader compiler's answer is damaged");
        }
    }

    const std::string& in_;
    std::size_t at_ = 1;  // past the kind byte
};

}  // namespace

std::string packFailure(const std::string& message) {
    return "E" + message;
}

std::string packSuccess(const CompiledShader& compiled) {
    std::string out = "S";
    Writer w(out);
    w.text(compiled.warnings);
    w.text(std::string(reinterpret_cast<const char*>(compiled.spirv.data()),
                       compiled.spirv.size() * sizeof(std::uint32_t)));
    const GlslShader& glsl = compiled.glsl;
    w.number(glsl.vertex);
    w.text(glsl.source);
    w.list(glsl.uniforms, [&](const UniformBinding& u) {
        w.text(u.glslName);
        w.text(u.parameter);
        w.number(static_cast<std::uint64_t>(u.base));
        w.number(u.rows);
        w.number(u.columns);
        w.number(u.elements);
        w.number(u.transpose);
        w.number(u.used);
    });
    w.list(glsl.samplers, [&](const SamplerBinding& s) {
        w.text(s.glslName);
        w.text(s.sampler);
        w.text(s.texture);
        w.number(s.deviceSampler);
    });
    w.list(glsl.attributes, [&](const VertexAttribute& a) {
        w.text(a.glslName);
        w.number(a.usage);
        w.number(a.usageIndex);
        w.number(a.location);
        w.number(a.components);
    });
    w.list(glsl.varyings, [&](const std::string& v) { w.text(v); });
    w.list(glsl.varyingComponents, [&](unsigned c) { w.number(c); });
    return out;
}

void unpack(const std::string& answer, CompiledShader& result) {
    if (!answer.empty() && answer[0] == 'E') {
        throw ShaderError(answer.substr(1));
    }
    if (answer.empty() || answer[0] != 'S') {
        throw ShaderError("the shader compiler's answer is damaged");
    }
    Reader r(answer);
    result.warnings = r.text();
    const std::string spirv = r.text();
    if (spirv.size() % sizeof(std::uint32_t) != 0) {
        throw ShaderError("the shader compiler's answer is damaged");
    }
    result.spirv.resize(spirv.size() / sizeof(std::uint32_t));
    std::memcpy(result.spirv.data(), spirv.data(), spirv.size());
    GlslShader& glsl = result.glsl;
    glsl.vertex = r.number() != 0;
    glsl.source = r.text();
    r.list(glsl.uniforms, [&](UniformBinding& u) {
        u.glslName = r.text();
        u.parameter = r.text();
        u.base = static_cast<GlBaseType>(r.small());
        u.rows = r.small();
        u.columns = r.small();
        u.elements = r.small();
        u.transpose = r.number() != 0;
        u.used = r.number() != 0;
    });
    r.list(glsl.samplers, [&](SamplerBinding& s) {
        s.glslName = r.text();
        s.sampler = r.text();
        s.texture = r.text();
        s.deviceSampler = r.small();
    });
    r.list(glsl.attributes, [&](VertexAttribute& a) {
        a.glslName = r.text();
        a.usage = r.small();
        a.usageIndex = r.small();
        a.location = r.small();
        a.components = r.small();
    });
    r.list(glsl.varyings, [&](std::string& v) { v = r.text(); });
    r.list(glsl.varyingComponents, [&](unsigned& c) { c = r.small(); });
    if (!r.atEnd()) {
        throw ShaderError("the shader compiler's answer is damaged");
    }
}

}  // namespace d3dx9::fx
