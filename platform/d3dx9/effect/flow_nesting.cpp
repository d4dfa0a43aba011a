#include "flow_nesting.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <unordered_map>

#include "fx_lexer.h"

namespace d3dx9::fx {
namespace {

bool isIdentChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

struct Depth {
    unsigned flow = 0;   // branches and loops open
    unsigned loops = 0;  // loops open
};

struct Place {
    std::size_t file = 0;
    int line = 0;
};

struct Call {
    std::string callee;
    Depth around;  // what is open where the call is made
    Place where;
};

// A function of the text: the deepest nesting of its own statements, and its calls. The
// compilers inline every call, so a call adds the callee's nesting to what is open around it.
struct Function {
    std::string name;
    Depth deepest;
    Place where;  // the statement that first reached `deepest`
    std::vector<Call> calls;
};

// Walks the statements with a stack of what is open, never recursing, so hostile nesting
// costs a vector entry per level and not a stack frame.
class NestingScan {
public:
    explicit NestingScan(const std::string& text) : text_(text) {}

    std::vector<Function> run() {
        const std::size_t n = text_.size();
        bool lineStart = true;
        while (i_ < n) {
            const char c = text_[i_];
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
            if (c == '/' && i_ + 1 < n && (text_[i_ + 1] == '/' || text_[i_ + 1] == '*')) {
                i_ = std::min(skipComment(text_, i_, line_), n);
            } else if (c == '"') {
                skipPast("\"", 1);
            } else if (isIdentChar(c)) {
                const std::size_t start = i_;
                while (i_ < n && isIdentChar(text_[i_])) {
                    ++i_;
                }
                word(text_.substr(start, i_ - start));
            } else {
                punctuation(c);
                ++i_;
            }
        }
        return std::move(functions_);
    }

private:
    enum class Kind { Block, Function, Branch, Loop, Do };
    struct Open {
        Kind kind;
        bool braced;
        bool awaitingBody;
    };

    // Moves past the next `end` found from `from` bytes on, counting the lines on the way,
    // or to the end of the text.
    void skipPast(const std::string& end, std::size_t from) {
        const std::size_t found = text_.find(end, i_ + from);
        const std::size_t stop = found == std::string::npos ? text_.size() : found + end.size();
        for (; i_ < stop; ++i_) {
            line_ += text_[i_] == '\n' ? 1 : 0;
        }
    }

    // `#line N "fxI"` moves the position; every other directive is skipped.
    void directive() {
        std::size_t eol = text_.find('\n', i_);
        if (eol == std::string::npos) {
            eol = text_.size();
        }
        const std::string body = text_.substr(i_, eol - i_);
        unsigned number = 0;
        unsigned file = 0;
        if (std::sscanf(body.c_str(), "#line %u \"fx%u\"", &number, &file) == 2 && number > 0) {
            line_ = static_cast<int>(number) - 1;  // the newline ending this line adds one
            file_ = file;
        }
        i_ = eol;
    }

    bool callFollows() const {
        std::size_t k = i_;
        while (k < text_.size() && std::isspace(static_cast<unsigned char>(text_[k]))) {
            ++k;
        }
        return k < text_.size() && text_[k] == '(';
    }

    void word(const std::string& w) {
        const bool keyword = w == "if" || w == "switch" || w == "for" || w == "while";
        if (!keyword && callFollows()) {
            if (stack_.empty()) {
                candidate_ = w;  // a function's name, when a body follows its parameters
            } else if (current_) {
                functions_[*current_].calls.push_back({w, depth_, {file_, line_}});
            }
        }
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
            } else if (stack_.empty() && candidate_) {
                current_ = functions_.size();
                functions_.push_back({*candidate_, {}, {file_, line_}, {}});
                candidate_.reset();
                stack_.push_back({Kind::Function, true, false});
            } else {
                bodyStarts();
                stack_.push_back({Kind::Block, true, false});
            }
        } else if (c == '}') {
            while (!stack_.empty()) {
                const Open top = stack_.back();
                close();
                if (top.braced) {
                    if (top.kind == Kind::Function) {
                        current_.reset();
                    } else if (top.kind != Kind::Block) {
                        statementEnds(top.kind);
                    }
                    break;
                }
            }
        } else if (c == ';') {
            if (stack_.empty()) {
                candidate_.reset();  // a prototype or a global's initialiser
            } else if (tailSemicolon_) {
                tailSemicolon_ = false;
                statementEnds(Kind::Block);
            } else if (!stack_.back().braced) {
                statementEnds(Kind::Block);
            }
        } else {
            bodyStarts();
        }
    }

    bool nextWordIs(const char* w) const {
        std::size_t k = i_;
        while (k < text_.size() && std::isspace(static_cast<unsigned char>(text_[k]))) {
            ++k;
        }
        const std::size_t length = std::char_traits<char>::length(w);
        return text_.compare(k, length, w) == 0 &&
               (k + length >= text_.size() || !isIdentChar(text_[k + length]));
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
        depth_.flow += 1;
        depth_.loops += kind == Kind::Branch ? 0 : 1;
        if (current_) {
            Function& f = functions_[*current_];
            if (depth_.flow > f.deepest.flow || depth_.loops > f.deepest.loops) {
                f.deepest = {std::max(f.deepest.flow, depth_.flow),
                             std::max(f.deepest.loops, depth_.loops)};
                f.where = {file_, line_};
            }
        }
    }

    void close() {
        const Kind kind = stack_.back().kind;
        stack_.pop_back();
        if (kind != Kind::Block && kind != Kind::Function) {
            depth_.flow -= 1;
            depth_.loops -= kind == Kind::Branch ? 0 : 1;
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

    const std::string& text_;
    std::size_t i_ = 0;
    int line_ = 1;
    std::size_t file_ = 0;
    std::vector<Open> stack_;
    std::optional<Kind> pending_;
    unsigned parens_ = 0;
    Depth depth_;
    bool doTail_ = false;
    bool tailSemicolon_ = false;
    std::optional<std::string> candidate_;
    std::optional<std::size_t> current_;
    std::vector<Function> functions_;
};

// The nesting of each function with its callees inlined, found without recursion: a
// function's callees are settled before it. A call back into a function still being
// settled (recursion, which HLSL does not allow) adds nothing.
class Inliner {
public:
    Inliner(const std::vector<Function>& functions, const NestingLimits& limits)
        : functions_(functions),
          limits_(limits),
          state_(functions.size(), State::New),
          inlined_(functions.size()) {
        for (std::size_t f = 0; f < functions.size(); ++f) {
            byName_[functions[f].name].push_back(f);
        }
    }

    // Empty when everything the entry reaches stays within the limits; else the place and
    // the depth of the first excess found.
    std::optional<std::pair<Place, Depth>> excess(const std::string& entry) {
        for (const std::size_t f : overloads(entry)) {
            if (auto found = settle(f)) {
                return found;
            }
        }
        return std::nullopt;
    }

private:
    enum class State { New, Open, Settled };

    const std::vector<std::size_t>& overloads(const std::string& name) const {
        static const std::vector<std::size_t> none;
        const auto found = byName_.find(name);
        return found != byName_.end() ? found->second : none;
    }

    bool tooDeep(const Depth& d) const { return d.flow > limits_.flow || d.loops > limits_.loops; }

    std::optional<std::pair<Place, Depth>> settle(std::size_t root) {
        if (state_[root] != State::New) {
            return std::nullopt;
        }
        // Each entry: a function and the index of the call it looks at next.
        std::vector<std::pair<std::size_t, std::size_t>> work{{root, 0}};
        state_[root] = State::Open;
        while (!work.empty()) {
            const std::size_t f = work.back().first;
            std::size_t next = work.back().second;
            const Function& function = functions_[f];
            std::optional<std::size_t> descend;
            while (next < function.calls.size() && !descend) {
                for (const std::size_t callee : overloads(function.calls[next].callee)) {
                    if (state_[callee] == State::New) {
                        descend = callee;
                        break;
                    }
                }
                next += descend ? 0 : 1;
            }
            work.back().second = next;
            if (descend) {
                state_[*descend] = State::Open;
                work.push_back({*descend, 0});
                continue;
            }
            Depth deepest = function.deepest;
            if (tooDeep(deepest)) {
                return std::make_pair(function.where, deepest);
            }
            for (const Call& call : function.calls) {
                for (const std::size_t callee : overloads(call.callee)) {
                    if (state_[callee] != State::Settled) {
                        continue;
                    }
                    const Depth through{call.around.flow + inlined_[callee].flow,
                                        call.around.loops + inlined_[callee].loops};
                    if (tooDeep(through)) {
                        return std::make_pair(call.where, through);
                    }
                    deepest = {std::max(deepest.flow, through.flow),
                               std::max(deepest.loops, through.loops)};
                }
            }
            inlined_[f] = deepest;
            state_[f] = State::Settled;
            work.pop_back();
        }
        return std::nullopt;
    }

    const std::vector<Function>& functions_;
    const NestingLimits limits_;
    std::vector<State> state_;
    std::vector<Depth> inlined_;
    std::unordered_map<std::string, std::vector<std::size_t>> byName_;
};

}  // namespace

NestingLimits nestingLimitsOf(unsigned major) {
    return major >= 3 ? NestingLimits{24, 4} : NestingLimits{16, 4};
}

std::string nestingError(const std::string& hlsl, const std::string& entry,
                         const std::vector<std::string>& files, const NestingLimits& limits,
                         const std::string& profile) {
    const std::vector<Function> functions = NestingScan(hlsl).run();
    const auto found = Inliner(functions, limits).excess(entry);
    if (!found) {
        return {};
    }
    const auto& [place, depth] = *found;
    const std::string file = place.file < files.size() ? files[place.file] : std::string("memory");
    const std::string what = depth.loops > limits.loops
                                 ? "loops nested " + std::to_string(depth.loops) + " deep, " +
                                       profile + " allows " + std::to_string(limits.loops)
                                 : "flow control nested " + std::to_string(depth.flow) + " deep, " +
                                       profile + " allows " + std::to_string(limits.flow);
    return file + "(" + std::to_string(place.line) + "): error: " + what;
}

}  // namespace d3dx9::fx
