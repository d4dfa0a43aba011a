// Token-level reading shared by the effect parser: position, errors with file and line,
// balanced groups, verbatim HLSL slices, numbers, constant initialisers, annotations and
// <param> references.
#pragma once

#include <strings.h>

#include <cstdint>
#include <string>
#include <vector>

#include "d3d9/fx/fx_desc.h"
#include "fx_lexer.h"

namespace d3dx9::fx {

inline bool is(const Token& t, const char* text) {
    return t.kind != TokenKind::End && t.kind != TokenKind::String && t.text == text;
}

inline bool isWord(const Token& t, const char* word) {
    return t.kind == TokenKind::Identifier && strcasecmp(t.text.c_str(), word) == 0;
}

struct Number {
    double value = 0.0;
    std::uint32_t bits = 0;  // the DWORD an integer literal spells
    bool isFloat = false;
};

class TokenReader {
public:
    explicit TokenReader(TokenStream tokens);

protected:
    const Token& peek(std::size_t ahead = 0) const;
    const Token& next();
    // Throws EffectError "file(line): message" at the token.
    [[noreturn]] void fail(const Token& at, const std::string& message) const;
    static std::string describe(const Token& t);
    void expect(const char* punct);
    std::string identifier(const char* what);
    SourceLocation where(const Token& t) const;
    // Skips a balanced group starting at the current opening token, returning the index
    // of its closing token.
    std::size_t skipGroup(const char* open, const char* close);
    // The verbatim text between two tokens (inclusive), which must lie in one file.
    HlslChunk chunk(std::size_t first, std::size_t last) const;
    Number number(const Token& t);
    // A signed numeric literal or true/false.
    bool tryScalar(double& out);
    // Initialiser values flattened in order: scalars, { ... } lists and type(...)
    // constructors, nested.
    void values(std::vector<double>& out, int depth = 0);
    std::vector<Annotation> annotations();
    // "<name>" or "(name)" naming a parameter.
    bool reference(std::string& name);

    TokenStream ts_;
    std::size_t pos_ = 0;
};

}  // namespace d3dx9::fx
