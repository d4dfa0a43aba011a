#include "fx_parser.h"

#include <unordered_map>

#include "fx_constants.h"
#include "fx_states.h"
#include "fx_token_reader.h"
#include "fx_types.h"

namespace d3dx9::fx {
namespace {

class Parser : public TokenReader {
public:
    explicit Parser(TokenStream tokens) : TokenReader(std::move(tokens)) {
        for (const auto& f : ts_.files) {
            desc_.files.push_back(f.name);
        }
    }

    EffectDesc run() {
        while (peek().kind != TokenKind::End) {
            const Token& t = peek();
            if (isWord(t, "technique")) {
                parseTechnique();
            } else if (is(t, "struct") || is(t, "typedef")) {
                keepStatement();
            } else if (is(t, ";")) {
                next();
            } else {
                parseGlobal();
            }
        }
        return std::move(desc_);
    }

private:
    // --- globals ----------------------------------------------------------------------

    void keepStatement() {
        const std::size_t first = pos_;
        std::size_t last = pos_;
        while (!is(peek(), ";")) {
            if (peek().kind == TokenKind::End) {
                fail(ts_.tokens[first], "missing ';'");
            }
            if (is(peek(), "{")) {
                last = skipGroup("{", "}");
            } else {
                last = pos_;
                next();
            }
        }
        last = pos_;
        next();
        desc_.hlsl.push_back(chunk(first, last));
    }

    void parseGlobal() {
        const std::size_t first = pos_;
        bool shared = false;
        bool isStatic = false;
        bool isConst = false;
        std::string layout;
        for (;;) {
            const Token& t = peek();
            if (is(t, "shared")) {
                shared = true;
            } else if (is(t, "static") || is(t, "const")) {
                isStatic = isStatic || is(t, "static");
                isConst = isConst || is(t, "const");
            } else if (is(t, "uniform") || is(t, "extern") || is(t, "volatile") ||
                       is(t, "inline")) {
            } else if (is(t, "row_major") || is(t, "column_major")) {
                layout = t.text;
            } else {
                break;
            }
            next();
        }
        const Token& typeToken = peek();
        const std::size_t typePos = pos_;
        const std::string typeName = identifier("a type");
        const Token& nameToken = peek();
        identifier("a name");
        if (is(peek(), "(")) {
            // A function: kept as text up to its closing brace (or ';' for a prototype).
            skipGroup("(", ")");
            while (!is(peek(), "{") && !is(peek(), ";")) {
                if (peek().kind == TokenKind::End) {
                    fail(nameToken, "missing function body");
                }
                next();
            }
            const std::size_t last = is(peek(), ";") ? pos_ : skipGroup("{", "}");
            if (is(ts_.tokens[last], ";")) {
                next();
            }
            desc_.hlsl.push_back(chunk(first, last));
            return;
        }
        if (isStatic) {
            if (isConst && (typeName == "int" || typeName == "uint" || typeName == "dword")) {
                recordConstants(typePos + 1);
            }
            pos_ = first;
            keepStatement();
            return;
        }
        TypeShape shape;
        if (!classifyType(typeName, shape)) {
            fail(typeToken, "unsupported parameter type '" + typeName + "'");
        }
        pos_ = typePos + 1;
        for (;;) {
            parseDeclarator(typeName, shape, shared, layout);
            if (!is(peek(), ",")) {
                break;
            }
            next();
        }
        expect(";");
    }

    // The values of `static const int N = <expression>, M = ...;` that array sizes may name.
    // A declarator it cannot evaluate is only kept as HLSL text.
    void recordConstants(std::size_t at) {
        const std::vector<Token>& tokens = ts_.tokens;
        while (at + 1 < tokens.size() && tokens[at].kind == TokenKind::Identifier &&
               is(tokens[at + 1], "=")) {
            const std::string& name = tokens[at].text;
            const std::size_t begin = at + 2;
            std::size_t end = begin;
            int depth = 0;
            while (end < tokens.size() && tokens[end].kind != TokenKind::End &&
                   !(depth == 0 && (is(tokens[end], ",") || is(tokens[end], ";")))) {
                depth += is(tokens[end], "(") ? 1 : is(tokens[end], ")") ? -1 : 0;
                ++end;
            }
            if (end >= tokens.size() || tokens[end].kind == TokenKind::End) {
                return;
            }
            if (const std::optional<long long> value = constantValue(begin, end)) {
                constants_.define(name, *value);
            }
            if (!is(tokens[end], ",")) {
                return;
            }
            at = end + 1;
        }
    }

    // An expression that overflows is an error of the file, not a size to guess at.
    std::optional<long long> constantValue(std::size_t begin, std::size_t end) const {
        try {
            return constants_.evaluate(ts_.tokens, begin, end);
        } catch (const ConstantOverflow& overflow) {
            fail(ts_.tokens[overflow.token], "integer constant overflow");
        }
    }

    void parseDeclarator(const std::string& typeName, const TypeShape& shape, bool shared,
                         const std::string& layout) {
        const Token& nameToken = peek();
        Parameter p;
        p.name = identifier("a parameter name");
        p.typeName = typeName;
        p.type = shape.type;
        p.rows = shape.rows;
        p.columns = shape.columns;
        p.shared = shared;
        p.layout = layout;
        p.where = where(nameToken);
        if (findParameter(p.name)) {
            fail(nameToken, "redefinition of '" + p.name + "'");
        }
        if (is(peek(), "[")) {
            const std::size_t begin = pos_ + 1;
            const std::size_t close = skipGroup("[", "]");
            const Token& size = ts_.tokens[begin];
            if (begin == close) {
                fail(size, "expected an array size");
            }
            const std::optional<long long> n = constantValue(begin, close);
            if (!n) {
                fail(size, "array size of '" + p.name + "' is not a constant integer");
            }
            if (*n <= 0 || *n > 65536) {
                fail(size, "bad array size");
            }
            p.elements = static_cast<unsigned>(*n);
        }
        while (is(peek(), ":")) {
            next();
            const std::string word = identifier("a semantic");
            if (word == "register" || word == "packoffset") {
                skipGroup("(", ")");
            } else {
                p.semantic = word;
            }
        }
        p.annotations = annotations();
        if (is(peek(), "=")) {
            next();
            initializer(p, nameToken);
        }
        if (p.defaults.empty() && p.type != ParamType::Texture && p.type != ParamType::Sampler &&
            p.type != ParamType::String) {
            p.defaults.assign(p.valueCount(), 0.0);
        }
        parameterIndex_.emplace(p.name, desc_.parameters.size());
        desc_.parameters.push_back(std::move(p));
    }

    // By hash: an effect may declare any number of parameters.
    const Parameter* findParameter(const std::string& name) const {
        const auto found = parameterIndex_.find(name);
        return found != parameterIndex_.end() ? &desc_.parameters[found->second] : nullptr;
    }

    void initializer(Parameter& p, const Token& nameToken) {
        if (p.type == ParamType::Sampler) {
            if (!isWord(peek(), "sampler_state")) {
                fail(peek(), "expected sampler_state but found " + describe(peek()));
            }
            next();
            samplerState(p);
            return;
        }
        if (p.type == ParamType::String) {
            if (peek().kind != TokenKind::String) {
                fail(peek(), "expected a string");
            }
            p.stringDefault = next().text;
            return;
        }
        if (p.type == ParamType::Texture) {
            fail(peek(), "a texture cannot be initialised");
        }
        std::vector<double> v;
        values(v);
        const unsigned count = p.valueCount();
        if (v.size() == 1 && count > 1 && p.elements == 0) {
            v.assign(count, v[0]);
        }
        if (v.size() != count) {
            fail(nameToken, "initializer of '" + p.name + "' has " + std::to_string(v.size()) +
                                " values where " + std::to_string(count) + " are needed");
        }
        if (p.type == ParamType::Bool) {
            for (auto& x : v) {
                x = x != 0.0 ? 1.0 : 0.0;
            }
        } else if (p.type == ParamType::Int) {
            for (auto& x : v) {
                x = static_cast<double>(static_cast<long long>(x));
            }
        }
        p.defaults = std::move(v);
    }

    void samplerState(Parameter& p) {
        expect("{");
        while (!is(peek(), "}")) {
            const Token& nameToken = peek();
            const std::string name = identifier("a sampler state");
            const StateInfo* info = findSamplerState(name);
            if (!info) {
                fail(nameToken, "unknown sampler state '" + name + "'");
            }
            expect("=");
            SamplerAssignment a;
            a.kind = info->kind == StateKind::Texture ? SamplerStateKind::Texture
                                                      : SamplerStateKind::Sampler;
            a.state = info->state;
            a.where = where(nameToken);
            std::string ref;
            if (reference(ref)) {
                const Parameter* target = findParameter(ref);
                if (!target) {
                    fail(nameToken, "undeclared parameter '" + ref + "'");
                }
                const bool scalar =
                    (target->type == ParamType::Bool || target->type == ParamType::Int ||
                     target->type == ParamType::Float) &&
                    target->valueCount() == 1;
                if (a.kind == SamplerStateKind::Texture ? target->type != ParamType::Texture
                                                        : !scalar) {
                    fail(nameToken, "parameter '" + ref + "' has the wrong type for " + name);
                }
                a.parameter = ref;
            } else if (a.kind == SamplerStateKind::Texture) {
                if (!isWord(peek(), "NULL")) {
                    fail(peek(), "expected a texture reference but found " + describe(peek()));
                }
                next();
            } else {
                a.value = literal(*info, nameToken);
            }
            expect(";");
            p.samplerStates.push_back(std::move(a));
        }
        expect("}");
    }

    // A literal state value: terms joined by '|', each a number, an enumeration name or
    // true/false; colour states also take float3/float4 constructors or { } lists.
    std::uint32_t literal(const StateInfo& info, const Token& stateToken) {
        if (info.type == ValueType::Color && (is(peek(), "{") || peek(1).text == "(")) {
            std::vector<double> v;
            values(v);
            if (v.size() < 3 || v.size() > 4) {
                fail(stateToken, "a colour needs 3 or 4 components");
            }
            return packColor(v.data(), static_cast<unsigned>(v.size()));
        }
        std::uint32_t result = 0;
        for (;;) {
            result |= term(info, stateToken);
            if (!is(peek(), "|")) {
                break;
            }
            next();
        }
        return result;
    }

    std::uint32_t term(const StateInfo& info, const Token& stateToken) {
        const Token& t = peek();
        if (t.kind == TokenKind::Identifier) {
            std::uint32_t v = 0;
            if (!enumValue(info.type, t.text, v)) {
                fail(t, "'" + t.text + "' is not a valid value for " + stateToken.text);
            }
            next();
            return v;
        }
        bool negative = false;
        if (is(t, "-")) {
            negative = true;
            next();
        }
        const Token& numToken = peek();
        if (numToken.kind != TokenKind::Number) {
            fail(numToken,
                 "expected a value for " + stateToken.text + " but found " + describe(numToken));
        }
        const Number n = number(next());
        const double value = negative ? -n.value : n.value;
        if (info.type == ValueType::Float) {
            return floatBits(static_cast<float>(value));
        }
        if (n.isFloat) {
            return stateValueFromParameter(info.type, ParamType::Float, &value, 1);
        }
        return negative ? static_cast<std::uint32_t>(0u - n.bits) : n.bits;
    }

    // --- techniques -------------------------------------------------------------------

    void parseTechnique() {
        next();
        Technique tech;
        if (peek().kind == TokenKind::Identifier) {
            tech.name = next().text;
        }
        tech.annotations = annotations();
        expect("{");
        while (!is(peek(), "}")) {
            if (!isWord(peek(), "pass")) {
                fail(peek(), "expected 'pass' but found " + describe(peek()));
            }
            next();
            Pass pass;
            if (peek().kind == TokenKind::Identifier) {
                pass.name = next().text;
            }
            pass.annotations = annotations();
            expect("{");
            while (!is(peek(), "}")) {
                pass.assignments.push_back(assignment());
            }
            expect("}");
            tech.passes.push_back(std::move(pass));
        }
        expect("}");
        desc_.techniques.push_back(std::move(tech));
    }

    StateAssignment assignment() {
        const Token& nameToken = peek();
        StateAssignment a;
        a.name = identifier("a state name");
        a.where = where(nameToken);
        const StateInfo* info = findPassState(a.name);
        if (!info) {
            fail(nameToken, "unknown state '" + a.name + "'");
        }
        a.kind = info->kind;
        a.state = info->state;
        if (is(peek(), "[")) {
            next();
            const Token& indexToken = peek();
            if (indexToken.kind != TokenKind::Number) {
                fail(indexToken, "expected an index");
            }
            const Number n = number(next());
            const bool stage = a.kind == StateKind::TextureStage;
            const bool sampler = a.kind == StateKind::Sampler || a.kind == StateKind::Texture ||
                                 a.kind == StateKind::SamplerObject;
            if (n.isFloat || (!stage && !sampler) || (stage && n.bits > 7) ||
                (sampler && n.bits > 15)) {
                fail(indexToken, "bad index for " + a.name);
            }
            a.index = n.bits;
            expect("]");
        }
        expect("=");
        if (info->type == ValueType::Shader) {
            shaderValue(a, nameToken);
        } else if (isWord(peek(), "NULL") && (info->type == ValueType::Object)) {
            next();
            a.source = ValueSource::Null;
        } else {
            std::string ref;
            if (reference(ref)) {
                checkReference(a, *info, ref, nameToken);
            } else if (info->type == ValueType::Object) {
                fail(peek(), "expected a parameter reference but found " + describe(peek()));
            } else {
                a.value = literal(*info, nameToken);
            }
        }
        expect(";");
        return a;
    }

    void checkReference(StateAssignment& a, const StateInfo& info, const std::string& ref,
                        const Token& at) {
        const Parameter* target = findParameter(ref);
        if (!target) {
            fail(at, "undeclared parameter '" + ref + "'");
        }
        bool ok;
        if (a.kind == StateKind::Texture) {
            ok = target->type == ParamType::Texture;
        } else if (a.kind == StateKind::SamplerObject) {
            ok = target->type == ParamType::Sampler;
        } else {
            ok = (target->type == ParamType::Bool || target->type == ParamType::Int ||
                  target->type == ParamType::Float) &&
                 target->elements == 0 && target->rows == 1 &&
                 (target->columns == 1 || (info.type == ValueType::Color && target->columns >= 3));
        }
        if (!ok) {
            fail(at, "parameter '" + ref + "' has the wrong type for " + a.name);
        }
        a.source = ValueSource::Parameter;
        a.parameter = ref;
    }

    void shaderValue(StateAssignment& a, const Token& at) {
        if (isWord(peek(), "NULL")) {
            next();
            a.source = ValueSource::Null;
            return;
        }
        if (!is(peek(), "compile")) {
            fail(peek(),
                 "expected 'compile' or NULL for " + a.name + " but found " + describe(peek()));
        }
        next();
        a.source = ValueSource::Shader;
        a.shader.profile = identifier("a shader profile");
        const bool vertexProfile = a.shader.profile.rfind("vs_", 0) == 0;
        const bool pixelProfile = a.shader.profile.rfind("ps_", 0) == 0;
        if ((a.kind == StateKind::VertexShader && !vertexProfile) ||
            (a.kind == StateKind::PixelShader && !pixelProfile)) {
            fail(at, "profile '" + a.shader.profile + "' does not fit " + a.name);
        }
        a.shader.entry = identifier("a function name");
        if (!is(peek(), "(")) {
            fail(peek(), "expected '(' after " + a.shader.entry);
        }
        const std::size_t open = pos_;
        const std::size_t close = skipGroup("(", ")");
        // Arguments as written, split at top-level commas.
        std::size_t start = open + 1;
        int depth = 0;
        for (std::size_t i = open + 1; i <= close; ++i) {
            const Token& t = ts_.tokens[i];
            if (is(t, "(") || is(t, "{") || is(t, "[")) {
                ++depth;
            } else if ((is(t, ")") || is(t, "}") || is(t, "]")) && depth > 0) {
                --depth;
            } else if ((is(t, ",") && depth == 0) || i == close) {
                if (i > start) {
                    a.shader.arguments.push_back(chunk(start, i - 1).text);
                } else if (i != close || !a.shader.arguments.empty()) {
                    fail(t, "missing shader argument");
                }
                start = i + 1;
            }
        }
    }

    EffectDesc desc_;
    std::unordered_map<std::string, std::size_t> parameterIndex_;
    IntegerConstants constants_;
};

}  // namespace

EffectDesc parseEffect(const std::string& fileName, const std::string& text,
                       const IncludeHandler& includes) {
    return Parser(tokenize(fileName, text, includes)).run();
}

}  // namespace d3dx9::fx
