#include "flow_nesting.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>

namespace d3dx9::fx {
namespace {

bool isIdentChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Walks the statements with a stack of what is open, never recursing, so hostile nesting
// costs a vector entry per level and not a stack frame.
class NestingScan {
public:
    NestingScan(const std::vector<std::string>& files, const NestingLimits& limits,
                const std::string& profile)
        : files_(files), limits_(limits), profile_(profile) {}

    std::string run(const std::string& text) {
        text_ = &text;
        const std::size_t n = text.size();
        bool lineStart = true;
        while (i_ < n && error_.empty()) {
            const char c = text[i_];
            if (c == '\n') {
                ++line_;
                ++i_;
                lineStart = true;
                continue;
            }
            if (std::isspace(static_cast<unsigned char>(c))) {
                ++i_;
                continue;
            }
            if (c == '#' && lineStart) {
                directive();
                continue;
            }
            lineStart = false;
            if (c == '/' && i_ + 1 < n && text[i_ + 1] == '/') {
                i_ = std::min(text.find('\n', i_), n);
            } else if (c == '/' && i_ + 1 < n && text[i_ + 1] == '*') {
                skipPast("*/", 2);
            } else if (c == '"') {
                skipPast("\"", 1);
            } else if (isIdentChar(c)) {
                const std::size_t start = i_;
                while (i_ < n && isIdentChar(text[i_])) {
                    ++i_;
                }
                word(text.substr(start, i_ - start));
            } else {
                punctuation(c);
                ++i_;
            }
        }
        return error_;
    }

private:
    enum class Kind { Block, Branch, Loop, Do };
    struct Open {
        Kind kind;
        bool braced;
        bool awaitingBody;
    };

    // Moves past the next `end` found from `from` bytes on, counting the lines on the way,
    // or to the end of the text.
    void skipPast(const std::string& end, std::size_t from) {
        const std::size_t found = text_->find(end, i_ + from);
        const std::size_t stop = found == std::string::npos ? text_->size() : found + end.size();
        for (; i_ < stop; ++i_) {
            line_ += (*text_)[i_] == '\n' ? 1 : 0;
        }
    }

    // `#line N "fxI"` moves the position; every other directive is skipped.
    void directive() {
        std::size_t eol = text_->find('\n', i_);
        if (eol == std::string::npos) {
            eol = text_->size();
        }
        const std::string body = text_->substr(i_, eol - i_);
        unsigned number = 0;
        unsigned file = 0;
        if (std::sscanf(body.c_str(), "#line %u \"fx%u\"", &number, &file) == 2 && number > 0) {
            line_ = static_cast<int>(number) - 1;  // the newline ending this line adds one
            file_ = file < files_.size() ? file : 0;
        }
        i_ = eol;
    }

    void word(const std::string& w) {
        if (parens_ > 0) {
            return;
        }
        if (w == "while" && doTail_) {
            doTail_ = false;
            tailSemicolon_ = true;
            return;
        }
        bodyStarts();
        if (w == "if" || w == "switch") {
            pending_ = Kind::Branch;
        } else if (w == "for" || w == "while") {
            pending_ = Kind::Loop;
        } else if (w == "do") {
            open(Kind::Do);
        } else if (w == "else" && !nextWordIs("if")) {
            // An `else if` chain stays at the depth of its first `if`.
            open(Kind::Branch);
        }
    }

    void punctuation(char c) {
        if (c == '(') {
            ++parens_;
        } else if (c == ')') {
            if (parens_ > 0 && --parens_ == 0 && pending_) {
                open(*pending_);
            }
        } else if (parens_ > 0) {
        } else if (c == '{') {
            if (!stack_.empty() && stack_.back().awaitingBody) {
                stack_.back().braced = true;
                stack_.back().awaitingBody = false;
            } else {
                bodyStarts();
                stack_.push_back({Kind::Block, true, false});
            }
        } else if (c == '}') {
            while (!stack_.empty()) {
                const Open top = stack_.back();
                close();
                if (top.braced) {
                    if (top.kind != Kind::Block) {
                        statementEnds(top.kind);
                    }
                    break;
                }
            }
        } else if (c == ';') {
            if (tailSemicolon_) {
                tailSemicolon_ = false;
                statementEnds(Kind::Block);
            } else if (!stack_.empty() && !stack_.back().braced) {
                statementEnds(Kind::Block);
            }
        } else {
            bodyStarts();
        }
    }

    bool nextWordIs(const char* w) const {
        std::size_t k = i_;
        while (k < text_->size() && std::isspace(static_cast<unsigned char>((*text_)[k]))) {
            ++k;
        }
        const std::size_t length = std::char_traits<char>::length(w);
        return text_->compare(k, length, w) == 0 &&
               (k + length >= text_->size() || !isIdentChar((*text_)[k + length]));
    }

    // The first token of an unbraced body: that body is one statement from here.
    void bodyStarts() {
        if (!stack_.empty()) {
            stack_.back().awaitingBody = false;
        }
    }

    void open(Kind kind) {
        pending_.reset();
        stack_.push_back({kind, false, true});
        flow_ += 1;
        loops_ += kind == Kind::Branch ? 0 : 1;
        if (loops_ > limits_.loops) {
            fail("loops nested " + std::to_string(loops_) + " deep, " + profile_ + " allows " +
                 std::to_string(limits_.loops));
        } else if (flow_ > limits_.flow) {
            fail("flow control nested " + std::to_string(flow_) + " deep, " + profile_ +
                 " allows " + std::to_string(limits_.flow));
        }
    }

    void close() {
        const Kind kind = stack_.back().kind;
        stack_.pop_back();
        if (kind != Kind::Block) {
            flow_ -= 1;
            loops_ -= kind == Kind::Branch ? 0 : 1;
        }
    }

    // A statement just ended (`ended` is the construct a '}' closed, Block for a ';'): every
    // unbraced construct whose one statement it was ends with it. A `do` still waits for
    // its `while (...);`.
    void statementEnds(Kind ended) {
        if (ended == Kind::Do) {
            doTail_ = true;
            return;
        }
        while (!stack_.empty() && !stack_.back().braced) {
            const Kind kind = stack_.back().kind;
            close();
            if (kind == Kind::Do) {
                doTail_ = true;
                return;
            }
        }
    }

    void fail(const std::string& message) {
        const std::string file = files_.empty() ? std::string("memory") : files_[file_];
        error_ = file + "(" + std::to_string(line_) + "): error: " + message;
    }

    const std::vector<std::string>& files_;
    const NestingLimits limits_;
    const std::string& profile_;
    const std::string* text_ = nullptr;
    std::size_t i_ = 0;
    int line_ = 1;
    std::size_t file_ = 0;
    std::vector<Open> stack_;
    std::optional<Kind> pending_;
    unsigned parens_ = 0;
    unsigned flow_ = 0;
    unsigned loops_ = 0;
    bool doTail_ = false;
    bool tailSemicolon_ = false;
    std::string error_;
};

}  // namespace

NestingLimits nestingLimitsOf(unsigned major) {
    return major >= 3 ? NestingLimits{24, 4} : NestingLimits{16, 4};
}

std::string nestingError(const std::string& hlsl, const std::vector<std::string>& files,
                         const NestingLimits& limits, const std::string& profile) {
    return NestingScan(files, limits, profile).run(hlsl);
}

}  // namespace d3dx9::fx
