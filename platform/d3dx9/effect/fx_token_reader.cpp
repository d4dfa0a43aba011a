#include "fx_token_reader.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "fx_types.h"

namespace d3dx9::fx {

TokenReader::TokenReader(TokenStream tokens) : ts_(std::move(tokens)) {}

const Token& TokenReader::peek(std::size_t ahead) const {
    const std::size_t i = pos_ + ahead;
    return i < ts_.tokens.size() ? ts_.tokens[i] : ts_.tokens.back();
}

const Token& TokenReader::next() {
    const Token& t = peek();
    if (pos_ + 1 < ts_.tokens.size()) {
        ++pos_;
    }
    return t;
}

void TokenReader::fail(const Token& at, const std::string& message) const {
    throw EffectError(formatMessage(ts_.files[at.file].name, at.line, message));
}

std::string TokenReader::describe(const Token& t) {
    return t.kind == TokenKind::End ? std::string("end of file") : "'" + t.text + "'";
}

void TokenReader::expect(const char* punct) {
    const Token& t = peek();
    if (!is(t, punct)) {
        fail(t, std::string("expected '") + punct + "' but found " + describe(t));
    }
    next();
}

std::string TokenReader::identifier(const char* what) {
    const Token& t = peek();
    if (t.kind != TokenKind::Identifier) {
        fail(t, std::string("expected ") + what + " but found " + describe(t));
    }
    return next().text;
}

SourceLocation TokenReader::where(const Token& t) const {
    return {ts_.files[t.file].name, t.line};
}

// Skips a balanced group starting at the current opening token, returning the index
// of its closing token.
std::size_t TokenReader::skipGroup(const char* open, const char* close) {
    const Token& start = peek();
    int depth = 0;
    for (;;) {
        const Token& t = peek();
        if (t.kind == TokenKind::End) {
            fail(start, std::string("missing '") + close + "'");
        }
        if (is(t, open)) {
            ++depth;
        } else if (is(t, close)) {
            if (--depth == 0) {
                const std::size_t at = pos_;
                next();
                return at;
            }
        }
        next();
    }
}

// The verbatim text between two tokens (inclusive), which must lie in one file.
HlslChunk TokenReader::chunk(std::size_t first, std::size_t last) const {
    const Token& a = ts_.tokens[first];
    const Token& b = ts_.tokens[last];
    if (a.file != b.file) {
        fail(b, "a declaration may not span an #include");
    }
    const std::string& text = ts_.files[a.file].text;
    return HlslChunk{text.substr(a.begin, b.end - a.begin), where(a)};
}

Number TokenReader::number(const Token& t) {
    Number n;
    std::string s = t.text;
    const bool hex = s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    while (!s.empty() && std::string("fFhHuUlL").find(s.back()) != std::string::npos &&
           !(hex && std::isxdigit(static_cast<unsigned char>(s.back())))) {
        if (s.back() == 'f' || s.back() == 'F' || s.back() == 'h' || s.back() == 'H') {
            n.isFloat = true;
        }
        s.pop_back();
    }
    errno = 0;
    if (hex) {
        const unsigned long long v = std::strtoull(s.c_str() + 2, nullptr, 16);
        if (errno == ERANGE || v > 0xFFFFFFFFull || s.size() <= 2) {
            fail(t, "bad hexadecimal number '" + t.text + "'");
        }
        n.bits = static_cast<std::uint32_t>(v);
        n.value = static_cast<double>(v);
        n.isFloat = false;
        return n;
    }
    if (s.find_first_of(".eE") != std::string::npos) {
        n.isFloat = true;
    }
    char* end = nullptr;
    n.value = std::strtod(s.c_str(), &end);
    if (end == s.c_str() || *end != '\0') {
        fail(t, "bad number '" + t.text + "'");
    }
    if (!n.isFloat) {
        const unsigned long long v = std::strtoull(s.c_str(), nullptr, 10);
        if (errno == ERANGE || v > 0xFFFFFFFFull) {
            fail(t, "number out of range '" + t.text + "'");
        }
        n.bits = static_cast<std::uint32_t>(v);
    }
    return n;
}

// A signed numeric literal or true/false.
bool TokenReader::tryScalar(double& out) {
    bool negative = false;
    std::size_t ahead = 0;
    if (is(peek(), "-") || is(peek(), "+")) {
        negative = is(peek(), "-");
        ahead = 1;
    }
    const Token& t = peek(ahead);
    if (t.kind == TokenKind::Number) {
        if (ahead) {
            next();
        }
        const Number n = number(next());
        out = negative ? -n.value : n.value;
        return true;
    }
    if (ahead == 0 && (is(t, "true") || is(t, "false"))) {
        out = is(t, "true") ? 1.0 : 0.0;
        next();
        return true;
    }
    return false;
}

// Initialiser values flattened in order: scalars, { ... } lists and type(...)
// constructors, nested.
void TokenReader::values(std::vector<double>& out, int depth) {
    // Real initialisers nest two or three deep; this bounds the recursion on junk.
    if (depth > 32) {
        fail(peek(), "initializer nested too deeply");
    }
    double v = 0.0;
    if (tryScalar(v)) {
        out.push_back(v);
        return;
    }
    const Token& t = peek();
    if (is(t, "{")) {
        next();
        while (!is(peek(), "}")) {
            values(out, depth + 1);
            if (!is(peek(), ",")) {
                break;
            }
            next();
        }
        expect("}");
        return;
    }
    TypeShape shape;
    if (t.kind == TokenKind::Identifier && is(peek(1), "(") && classifyType(t.text, shape)) {
        next();
        next();
        while (!is(peek(), ")")) {
            values(out, depth + 1);
            if (!is(peek(), ",")) {
                break;
            }
            next();
        }
        expect(")");
        return;
    }
    fail(t, "expected a constant value but found " + describe(t));
}

std::vector<Annotation> TokenReader::annotations() {
    std::vector<Annotation> list;
    if (!is(peek(), "<")) {
        return list;
    }
    next();
    while (!is(peek(), ">")) {
        Annotation a;
        a.typeName = identifier("an annotation type");
        a.name = identifier("an annotation name");
        expect("=");
        if (peek().kind == TokenKind::String) {
            a.text = next().text;
        } else {
            values(a.numbers);
        }
        expect(";");
        list.push_back(std::move(a));
    }
    expect(">");
    return list;
}

// "<name>" or "(name)" naming a parameter.
bool TokenReader::reference(std::string& name) {
    if ((is(peek(), "<") || is(peek(), "(")) && peek(1).kind == TokenKind::Identifier &&
        is(peek(2), is(peek(), "<") ? ">" : ")")) {
        next();
        name = next().text;
        next();
        return true;
    }
    return false;
}

}  // namespace d3dx9::fx
