#include "mesh/x_text_check.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace d3dx9 {
namespace {

struct Token {
    std::string text;
    bool number = false;
    bool integer = false;
    long long value = 0;  // when integer
};

bool isSeparator(char c) {
    return c == '{' || c == '}' || c == ';' || c == ',' || c == '"' || c == ' ' || c == '\t' ||
           c == '\r' || c == '\n';
}

std::vector<Token> tokenize(const char* data, std::size_t size) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < size) {
        const char c = data[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ';' || c == ',') {
            ++i;
        } else if (c == '#' || (c == '/' && i + 1 < size && data[i + 1] == '/')) {
            while (i < size && data[i] != '\n') {
                ++i;
            }
        } else if (c == '"') {
            ++i;
            while (i < size && data[i] != '"') {
                ++i;
            }
            ++i;
            tokens.push_back({"\"", false, false, 0});
        } else if (c == '{' || c == '}') {
            tokens.push_back({std::string(1, c), false, false, 0});
            ++i;
        } else {
            const std::size_t start = i;
            while (i < size && !isSeparator(data[i])) {
                ++i;
            }
            Token token;
            token.text.assign(data + start, i - start);
            char* end = nullptr;
            std::strtod(token.text.c_str(), &end);
            token.number = end != token.text.c_str() && *end == '\0';
            if (token.number && token.text.find_first_of(".eE") == std::string::npos) {
                token.integer = true;
                token.value = std::strtoll(token.text.c_str(), nullptr, 10);
            }
            tokens.push_back(std::move(token));
        }
    }
    return tokens;
}

class Checker {
public:
    explicit Checker(std::vector<Token> tokens) : tokens_(std::move(tokens)) {
        numbersAfter_.assign(tokens_.size() + 1, 0);
        for (std::size_t i = tokens_.size(); i-- > 0;) {
            numbersAfter_[i] = numbersAfter_[i + 1] + (tokens_[i].number ? 1 : 0);
        }
    }

    bool run() {
        for (pos_ = 0; pos_ < tokens_.size(); ++pos_) {
            const std::string& word = tokens_[pos_].text;
            if (word == "template") {
                skipBlock();
                continue;
            }
            std::size_t open = pos_ + 1;
            if (open < tokens_.size() && tokens_[open].text != "{") {
                ++open;  // a named data object
            }
            if (open >= tokens_.size() || tokens_[open].text != "{") {
                continue;
            }
            std::size_t at = open + 1;
            bool ok = true;
            if (word == "Mesh" || word == "MeshNormals") {
                ok = vectorsThenFaces(at);
            } else if (word == "MeshTextureCoords") {
                long long n = 0;
                ok = count(at, 2, n) && skipNumbers(at, 2 * n);
            } else if (word == "MeshVertexColors") {
                long long n = 0;
                ok = count(at, 5, n) && skipNumbers(at, 5 * n);
            } else if (word == "MeshMaterialList") {
                long long materials = 0;
                long long faces = 0;
                ok = count(at, 0, materials) && count(at, 1, faces) && skipNumbers(at, faces);
            }
            if (!ok) {
                return false;
            }
        }
        return true;
    }

private:
    void skipBlock() {
        int depth = 0;
        for (; pos_ < tokens_.size(); ++pos_) {
            if (tokens_[pos_].text == "{") {
                ++depth;
            } else if (tokens_[pos_].text == "}" && --depth <= 0) {
                return;
            }
        }
    }

    // A count at `at` that `perItem` numbers each, still to come, can fill.
    bool count(std::size_t& at, long long perItem, long long& value) {
        if (at >= tokens_.size() || !tokens_[at].integer || tokens_[at].value < 0) {
            return false;
        }
        value = tokens_[at].value;
        ++at;
        return value <= static_cast<long long>(tokens_.size()) &&
               value * perItem <= static_cast<long long>(numbersAfter_[at]);
    }

    bool skipNumbers(std::size_t& at, long long n) {
        for (long long i = 0; i < n; ++i, ++at) {
            if (at >= tokens_.size() || !tokens_[at].number) {
                return false;
            }
        }
        return true;
    }

    bool vectorsThenFaces(std::size_t& at) {
        long long vectors = 0;
        long long faces = 0;
        if (!count(at, 3, vectors) || !skipNumbers(at, 3 * vectors) || !count(at, 1, faces)) {
            return false;
        }
        for (long long f = 0; f < faces; ++f) {
            long long corners = 0;
            if (!count(at, 1, corners) || !skipNumbers(at, corners)) {
                return false;
            }
        }
        return true;
    }

    std::vector<Token> tokens_;
    std::vector<std::size_t> numbersAfter_;
    std::size_t pos_ = 0;
};

}  // namespace

bool xTextCountsPlausible(const char* data, std::size_t size) {
    // "xof 0303txt 0032": only the text form is read here.
    if (size < 16 || std::memcmp(data, "xof ", 4) != 0 || std::memcmp(data + 8, "txt ", 4) != 0) {
        return true;
    }
    return Checker(tokenize(data + 16, size - 16)).run();
}

}  // namespace d3dx9
