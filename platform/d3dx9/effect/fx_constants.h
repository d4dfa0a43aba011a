// Integer constant expressions of the effect language, as array sizes use them: literals,
// the `static const` integers declared before, parentheses, unary signs and + - * / %
// (`float4x3 bones[MAX_BONES]`, `float4 c[2 * N + 1]`).
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fx_lexer.h"

namespace d3dx9::fx {

// An operation of a constant expression whose result leaves the 32-bit range; token is the
// index of its operator.
struct ConstantOverflow {
    explicit ConstantOverflow(std::size_t at) : token(at) {}
    std::size_t token;
};

class IntegerConstants {
public:
    void define(const std::string& name, long long value) { values_[name] = value; }

    // The value of tokens[begin, end), or nothing when that is not a constant integer
    // expression (an unknown name, a float, division by zero, a literal beyond 32 bits).
    // Throws ConstantOverflow when an operation's result leaves the 32-bit range.
    std::optional<long long> evaluate(const std::vector<Token>& tokens, std::size_t begin,
                                      std::size_t end) const;

private:
    std::map<std::string, long long> values_;
};

}  // namespace d3dx9::fx
