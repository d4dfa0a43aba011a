// Splits effect text into tokens, following #include beside the including file. Every
// token remembers its file, line and byte range so that HLSL can be cut out verbatim.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "d3d9/fx/fx_desc.h"

namespace d3dx9::fx {

enum class TokenKind { Identifier, Number, String, Punct, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;
    int file = 0;  // index into TokenStream::files
    int line = 0;
    std::size_t begin = 0;  // byte range in the file's text
    std::size_t end = 0;
};

// Looks up an #include: given the name as written and the including file, fills in the
// resolved file name and its text; false when it cannot be opened.
using IncludeHandler = std::function<bool(const std::string& name, const std::string& fromFile,
                                          std::string& resolvedName, std::string& text)>;

// An IncludeHandler that looks for the named file in the folder of the including file
// ('/' and '\\' both separate folders) and reads it with `readFile`.
IncludeHandler includeBesideFile(
    std::function<bool(const std::string& path, std::string& text)> readFile);

struct SourceFile {
    std::string name;
    std::string text;
};

struct TokenStream {
    std::vector<SourceFile> files;
    std::vector<Token> tokens;  // always ends with one End token
};

// Throws EffectError ("file(line): message") on malformed text: an unterminated comment or
// string, a stray character, an unknown directive, an #include that cannot be read or nests
// too deeply, or includes that together pass kMaxEffectBytes (effect_files.h).
TokenStream tokenize(const std::string& fileName, const std::string& text,
                     const IncludeHandler& includes);

// Past the comment that opens at `i` ("//" up to its line's end, "/*" past its "*/"), adding
// the lines it spans to `line`; npos when a "/*" comment is never closed.
std::size_t skipComment(const std::string& text, std::size_t i, int& line);

// "file(line): message"
std::string formatMessage(const std::string& file, int line, const std::string& message);

}  // namespace d3dx9::fx
