#include "fx_constants.h"

#include <cerrno>
#include <cstdlib>

namespace d3dx9::fx {
namespace {

constexpr long long kLimit = 0xFFFFFFFFll;

bool inRange(long long v) {
    return v >= -kLimit && v <= kLimit;
}

// a op b for operands within the limit; the product of two such operands may not fit in
// a long long at all, so every operation is checked before its result is used.
bool combine(char op, long long a, long long b, long long& out) {
    bool overflow = false;
    switch (op) {
        case '+':
            overflow = __builtin_add_overflow(a, b, &out);
            break;
        case '-':
            overflow = __builtin_sub_overflow(a, b, &out);
            break;
        case '*':
            overflow = __builtin_mul_overflow(a, b, &out);
            break;
        case '/':
            out = a / b;
            break;
        default:
            out = a % b;
            break;
    }
    return !overflow && inRange(out);
}

// Recursive descent over one token range with the C precedence of the operators it knows;
// every step but an overflow fails softly so that a static declaration it cannot read is left
// to the shader compiler.
class Evaluator {
public:
    Evaluator(const std::vector<Token>& tokens, std::size_t begin, std::size_t end,
              const std::map<std::string, long long>& values)
        : tokens_(tokens), at_(begin), end_(end), values_(values) {}

    std::optional<long long> run() {
        long long v = 0;
        if (!sum(v) || at_ != end_) {
            return std::nullopt;
        }
        return v;
    }

private:
    // Deep enough for any real size, shallow enough that hostile nesting cannot exhaust
    // the stack.
    static constexpr int kMaxDepth = 64;

    bool peekIs(const char* text) const {
        return at_ < end_ && tokens_[at_].kind == TokenKind::Punct && tokens_[at_].text == text;
    }

    bool take(const char* text) {
        if (!peekIs(text)) {
            return false;
        }
        ++at_;
        return true;
    }

    bool sum(long long& v) {
        if (!product(v)) {
            return false;
        }
        for (;;) {
            const bool plus = take("+");
            if (!plus && !take("-")) {
                return true;
            }
            const std::size_t opAt = at_ - 1;
            long long r = 0;
            if (!product(r)) {
                return false;
            }
            if (!combine(plus ? '+' : '-', v, r, v)) {
                throw ConstantOverflow(opAt);
            }
        }
    }

    bool product(long long& v) {
        if (!unary(v)) {
            return false;
        }
        for (;;) {
            char op = 0;
            if (take("*")) {
                op = '*';
            } else if (take("/")) {
                op = '/';
            } else if (take("%")) {
                op = '%';
            } else {
                return true;
            }
            const std::size_t opAt = at_ - 1;
            long long r = 0;
            if (!unary(r) || (op != '*' && r == 0)) {
                return false;
            }
            if (!combine(op, v, r, v)) {
                throw ConstantOverflow(opAt);
            }
        }
    }

    bool unary(long long& v) {
        if (++depth_ > kMaxDepth) {
            return false;
        }
        bool ok;
        if (take("-")) {
            ok = unary(v);
            v = -v;
        } else if (take("+")) {
            ok = unary(v);
        } else {
            ok = primary(v);
        }
        --depth_;
        return ok;
    }

    bool primary(long long& v) {
        if (take("(")) {
            return sum(v) && take(")");
        }
        if (at_ >= end_) {
            return false;
        }
        const Token& t = tokens_[at_++];
        if (t.kind == TokenKind::Identifier) {
            const auto found = values_.find(t.text);
            if (found == values_.end()) {
                return false;
            }
            v = found->second;
            return true;
        }
        return t.kind == TokenKind::Number && literal(t.text, v);
    }

    // A decimal or hexadecimal integer with an optional u or l suffix.
    static bool literal(std::string text, long long& v) {
        while (!text.empty() && (text.back() == 'u' || text.back() == 'U' || text.back() == 'l' ||
                                 text.back() == 'L')) {
            text.pop_back();
        }
        const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
        const char* digits = text.c_str() + (hex ? 2 : 0);
        if (*digits == '\0') {
            return false;
        }
        errno = 0;
        char* stop = nullptr;
        const unsigned long long parsed = std::strtoull(digits, &stop, hex ? 16 : 10);
        if (errno == ERANGE || *stop != '\0' || parsed > static_cast<unsigned long long>(kLimit)) {
            return false;
        }
        v = static_cast<long long>(parsed);
        return true;
    }

    const std::vector<Token>& tokens_;
    std::size_t at_;
    std::size_t end_;
    const std::map<std::string, long long>& values_;
    int depth_ = 0;
};

}  // namespace

std::optional<long long> IntegerConstants::evaluate(const std::vector<Token>& tokens,
                                                    std::size_t begin, std::size_t end) const {
    if (begin >= end || end > tokens.size()) {
        return std::nullopt;
    }
    return Evaluator(tokens, begin, end, values_).run();
}

}  // namespace d3dx9::fx
