#include "fx_lexer.h"

#include <algorithm>
#include <cctype>

#include "effect_files.h"

namespace d3dx9::fx {
namespace {

// Deep enough for any sane effect, shallow enough that a file including itself fails
// with a message instead of exhausting the stack.
constexpr int kMaxIncludeDepth = 16;

bool isIdentStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool isIdentChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

class Lexer {
public:
    Lexer(TokenStream& out, const IncludeHandler& includes) : out_(out), includes_(includes) {}

    void run(int fileIndex, int depth) {
        // Copy: the files vector may grow (and move) while this file is being read.
        const std::string text = out_.files[fileIndex].text;
        const std::string fileName = out_.files[fileIndex].name;
        std::size_t i = 0;
        int line = 1;
        bool lineStart = true;
        const std::size_t n = text.size();
        while (i < n) {
            char c = text[i];
            if (c == '\0') {
                break;  // the text handed to D3DX carries its terminator
            }
            if (c == '\n') {
                ++line;
                ++i;
                lineStart = true;
                continue;
            }
            if (std::isspace(static_cast<unsigned char>(c))) {
                ++i;
                continue;
            }
            if (c == '/' && i + 1 < n && (text[i + 1] == '/' || text[i + 1] == '*')) {
                const int startLine = line;
                i = skipComment(text, i, line);
                if (i == std::string::npos) {
                    throw EffectError(formatMessage(fileName, startLine, "unterminated comment"));
                }
                continue;
            }
            if (c == '#' && lineStart) {
                i = directive(text, i, line, fileIndex, depth);
                continue;
            }
            lineStart = false;
            Token t;
            t.file = fileIndex;
            t.line = line;
            t.begin = i;
            if (isIdentStart(c)) {
                while (i < n && isIdentChar(text[i])) {
                    ++i;
                }
                t.kind = TokenKind::Identifier;
            } else if (isDigit(c) || (c == '.' && i + 1 < n && isDigit(text[i + 1]))) {
                i = number(text, i);
                t.kind = TokenKind::Number;
            } else if (c == '"') {
                ++i;
                while (i < n && text[i] != '"' && text[i] != '\n') {
                    ++i;
                }
                if (i >= n || text[i] != '"') {
                    throw EffectError(formatMessage(fileName, line, "unterminated string"));
                }
                ++i;
                t.kind = TokenKind::String;
            } else if (std::string("{}()[]<>;,=:.+-*/%!&|^~?").find(c) != std::string::npos) {
                ++i;
                t.kind = TokenKind::Punct;
            } else {
                throw EffectError(
                    formatMessage(fileName, line, std::string("unexpected character '") + c + "'"));
            }
            t.end = i;
            t.text = text.substr(t.begin, t.end - t.begin);
            if (t.kind == TokenKind::String) {
                t.text = t.text.substr(1, t.text.size() - 2);
            }
            out_.tokens.push_back(std::move(t));
        }
    }

private:
    static std::size_t number(const std::string& text, std::size_t i) {
        const std::size_t n = text.size();
        if (text[i] == '0' && i + 1 < n && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
            i += 2;
            while (i < n && std::isxdigit(static_cast<unsigned char>(text[i]))) {
                ++i;
            }
        } else {
            while (i < n && (isDigit(text[i]) || text[i] == '.')) {
                ++i;
            }
            if (i < n && (text[i] == 'e' || text[i] == 'E')) {
                std::size_t j = i + 1;
                if (j < n && (text[j] == '+' || text[j] == '-')) {
                    ++j;
                }
                if (j < n && isDigit(text[j])) {
                    i = j;
                    while (i < n && isDigit(text[i])) {
                        ++i;
                    }
                }
            }
        }
        while (i < n && std::string("fFhHuUlL").find(text[i]) != std::string::npos) {
            ++i;
        }
        return i;
    }

    std::size_t directive(const std::string& text, std::size_t i, int line, int fileIndex,
                          int depth) {
        const std::string fileName = out_.files[fileIndex].name;
        const std::size_t n = text.size();
        std::size_t eol = text.find('\n', i);
        if (eol == std::string::npos) {
            eol = n;
        }
        std::string body = text.substr(i + 1, eol - i - 1);
        std::size_t p = 0;
        while (p < body.size() && std::isspace(static_cast<unsigned char>(body[p]))) {
            ++p;
        }
        std::size_t q = p;
        while (q < body.size() && isIdentChar(body[q])) {
            ++q;
        }
        const std::string word = body.substr(p, q - p);
        if (word == "pragma") {
            return eol;
        }
        if (word != "include") {
            throw EffectError(formatMessage(fileName, line,
                                            "unsupported preprocessor directive '#" + word + "'"));
        }
        while (q < body.size() && std::isspace(static_cast<unsigned char>(body[q]))) {
            ++q;
        }
        const char open = q < body.size() ? body[q] : '\0';
        const char close = open == '<' ? '>' : '"';
        const std::size_t nameEnd =
            (open == '"' || open == '<') ? body.find(close, q + 1) : std::string::npos;
        if (nameEnd == std::string::npos) {
            throw EffectError(formatMessage(fileName, line, "malformed #include"));
        }
        const std::string includeName = body.substr(q + 1, nameEnd - q - 1);
        if (depth + 1 >= kMaxIncludeDepth) {
            throw EffectError(formatMessage(fileName, line, "#include nested too deeply"));
        }
        std::string resolved = includeName;
        std::string includedText;
        if (!includes_ || !includes_(includeName, fileName, resolved, includedText)) {
            throw EffectError(
                formatMessage(fileName, line, "cannot open include file '" + includeName + "'"));
        }
        included_ += includedText.size();
        if (included_ > kMaxEffectBytes) {
            throw EffectError(formatMessage(fileName, line,
                                            "the includes of " + out_.files[0].name + " exceed " +
                                                std::to_string(kMaxEffectBytes) + " bytes"));
        }
        out_.files.push_back(SourceFile{resolved, std::move(includedText)});
        run(static_cast<int>(out_.files.size()) - 1, depth + 1);
        return eol;
    }

    TokenStream& out_;
    const IncludeHandler& includes_;
    std::size_t included_ = 0;
};

}  // namespace

std::size_t skipComment(const std::string& text, std::size_t i, int& line) {
    if (text.compare(i, 2, "//") == 0) {
        return std::min(text.find('\n', i), text.size());
    }
    const std::size_t close = text.find("*/", i + 2);
    const std::size_t end = close == std::string::npos ? text.size() : close + 2;
    line += static_cast<int>(std::count(text.begin() + i, text.begin() + end, '\n'));
    return close == std::string::npos ? std::string::npos : end;
}

std::string formatMessage(const std::string& file, int line, const std::string& message) {
    return file + "(" + std::to_string(line) + "): " + message;
}

IncludeHandler includeBesideFile(
    std::function<bool(const std::string& path, std::string& text)> readFile) {
    return [readFile = std::move(readFile)](const std::string& name, const std::string& fromFile,
                                            std::string& resolvedName, std::string& text) {
        const std::size_t slash = fromFile.find_last_of("/\\");
        resolvedName = slash == std::string::npos ? name : fromFile.substr(0, slash + 1) + name;
        return readFile && readFile(resolvedName, text);
    };
}

TokenStream tokenize(const std::string& fileName, const std::string& text,
                     const IncludeHandler& includes) {
    TokenStream out;
    out.files.push_back(SourceFile{fileName, text});
    Lexer lexer(out, includes);
    lexer.run(0, 0);
    Token end;
    end.kind = TokenKind::End;
    if (!out.tokens.empty()) {
        end.file = out.tokens.back().file;
        end.line = out.tokens.back().line;
    } else {
        end.line = 1;
    }
    out.tokens.push_back(end);
    return out;
}

}  // namespace d3dx9::fx
