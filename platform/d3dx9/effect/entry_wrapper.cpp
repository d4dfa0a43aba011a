#include "entry_wrapper.h"

#include <cctype>
#include <vector>

#include "hlsl_compiler.h"

namespace d3dx9::fx {
namespace {

bool identChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::string trim(const std::string& s) {
    std::size_t a = 0;
    std::size_t b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) {
        ++a;
    }
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) {
        --b;
    }
    return s.substr(a, b - a);
}

// The identifiers of a declaration, in order.
std::vector<std::string> words(const std::string& s) {
    std::vector<std::string> out;
    std::string current;
    for (char c : s) {
        if (identChar(c)) {
            current += c;
        } else if (!current.empty()) {
            out.push_back(current);
            current.clear();
        }
    }
    if (!current.empty()) {
        out.push_back(current);
    }
    return out;
}

// Splits at commas outside brackets.
std::vector<std::string> splitTopLevel(const std::string& s) {
    std::vector<std::string> parts;
    int depth = 0;
    std::string current;
    for (char c : s) {
        if (c == '(' || c == '[' || c == '{') {
            ++depth;
        } else if (c == ')' || c == ']' || c == '}') {
            --depth;
        }
        if (c == ',' && depth == 0) {
            parts.push_back(trim(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!trim(current).empty() || !parts.empty()) {
        parts.push_back(trim(current));
    }
    return parts;
}

struct Signature {
    std::string returnType;
    std::string params;
    std::string tail;  // ": SEMANTIC" between ')' and '{', if any
};

// Finds `name(` at the top level of a function chunk and cuts its signature apart.
bool signatureOf(const std::string& text, const std::string& name, Signature& sig) {
    const std::size_t open = text.find('(');
    if (open == std::string::npos) {
        return false;
    }
    const std::vector<std::string> head = words(text.substr(0, open));
    if (head.empty() || head.back() != name) {
        return false;
    }
    int depth = 0;
    std::size_t close = std::string::npos;
    for (std::size_t i = open; i < text.size(); ++i) {
        if (text[i] == '(') {
            ++depth;
        } else if (text[i] == ')' && --depth == 0) {
            close = i;
            break;
        }
    }
    const std::size_t body = text.find('{', close == std::string::npos ? open : close);
    if (close == std::string::npos || body == std::string::npos) {
        return false;
    }
    const std::string before = text.substr(0, open);
    sig.returnType = trim(before.substr(0, before.rfind(name)));
    sig.params = text.substr(open + 1, close - open - 1);
    sig.tail = trim(text.substr(close + 1, body - close - 1));
    return true;
}

// The parameter's name: the last identifier before any semantic, default or array size.
std::string parameterName(const std::string& param) {
    std::string decl = param;
    for (char stop : {'=', ':', '['}) {
        const std::size_t at = decl.find(stop);
        if (at != std::string::npos) {
            decl = decl.substr(0, at);
        }
    }
    const std::vector<std::string> w = words(decl);
    return w.empty() ? std::string() : w.back();
}

}  // namespace

EntryWrapper wrapEntry(const EffectDesc& effect, const StateAssignment& assignment) {
    const std::string at =
        assignment.where.file + "(" + std::to_string(assignment.where.line) + "): error: ";
    const ShaderCall& call = assignment.shader;
    Signature sig;
    bool found = false;
    for (const auto& chunk : effect.hlsl) {
        if (signatureOf(chunk.text, call.entry, sig)) {
            found = true;
            break;
        }
    }
    if (!found) {
        throw ShaderError(at + "entry function '" + call.entry + "' not found");
    }
    // Qualifiers such as "inline" or "static" stay on the original.
    std::vector<std::string> returnWords = words(sig.returnType);
    while (!returnWords.empty() &&
           (returnWords.front() == "inline" || returnWords.front() == "static")) {
        returnWords.erase(returnWords.begin());
    }
    std::string returnType;
    for (const auto& w : returnWords) {
        returnType += (returnType.empty() ? "" : " ") + w;
    }

    std::vector<std::string> outerParams;
    std::vector<std::string> callArgs;
    std::size_t nextArgument = 0;
    for (const std::string& param : splitTopLevel(sig.params)) {
        const std::vector<std::string> w = words(param);
        bool isUniform = false;
        for (const auto& word : w) {
            isUniform = isUniform || word == "uniform";
        }
        if (isUniform) {
            if (nextArgument >= call.arguments.size()) {
                throw ShaderError(at + "too few arguments for '" + call.entry + "'");
            }
            callArgs.push_back("(" + call.arguments[nextArgument++] + ")");
        } else {
            outerParams.push_back(param);
            callArgs.push_back(parameterName(param));
        }
    }
    if (nextArgument != call.arguments.size()) {
        throw ShaderError(at + "too many arguments for '" + call.entry + "'");
    }

    // One line, so that every message about it points at the compile assignment.
    EntryWrapper wrapper;
    wrapper.name = "fx_entry_" + call.entry;
    std::string params;
    std::string args;
    for (const auto& p : outerParams) {
        params += (params.empty() ? "" : ", ") + p;
    }
    for (const auto& a : callArgs) {
        args += (args.empty() ? "" : ", ") + a;
    }
    wrapper.text = returnType + " " + wrapper.name + "(" + params + ")" +
                   (sig.tail.empty() ? "" : " " + sig.tail) + " { " +
                   (returnType == "void" ? "" : "return ") + call.entry + "(" + args + "); }\n";
    return wrapper;
}

}  // namespace d3dx9::fx
