// The matcher follows Lua 5.2's own (lstrlib.c; Copyright (C) 1994-2015 Lua.org, PUC-Rio,
// under the MIT licence that Lua itself is given under) step for step, so that patterns,
// results and error texts stay Lua's; what it adds is the charge of each step.
#include "engine/core/lua/lua_patterns.h"

#include <ctype.h>

#include <cctype>
#include <cstddef>
#include <cstring>

#include "engine/core/lua/lua_state.h"

namespace kesh {

namespace {

constexpr char kEscape = '%';
constexpr const char* kSpecials = "^$*+?.([%-";
// Lua's own bounds: captures in one pattern, and nested items before "pattern too complex".
constexpr int kMaxCaptures = 32;
constexpr int kMaxDepth = 200;
constexpr std::ptrdiff_t kUnfinished = -1;
constexpr std::ptrdiff_t kPosition = -2;
// Steps are handed to the allowance this many at a time.
constexpr std::size_t kChargeBatch = 1024;
// A call of match, recursive, takes about as long as this many instructions.
constexpr std::size_t kStepsPerMatch = 3;
// memchr and memcmp go through about this many bytes in the time of one step.
constexpr std::size_t kBytesPerStep = 16;

// Trivially destructible throughout: a Lua error leaves the matcher by longjmp.
struct MatchState {
    lua_State* L;
    const char* srcInit;
    const char* srcEnd;
    const char* patternEnd;
    int depth;
    int level;
    std::size_t steps;
    struct {
        const char* init;
        std::ptrdiff_t len;
    } capture[kMaxCaptures];
};

int uchar(char c) {
    return static_cast<unsigned char>(c);
}

void prepare(MatchState& ms, lua_State* L, const char* s, std::size_t ls, const char* p,
             std::size_t lp) {
    ms.L = L;
    ms.srcInit = s;
    ms.srcEnd = s + ls;
    ms.patternEnd = p + lp;
    ms.depth = kMaxDepth;
    ms.level = 0;
    ms.steps = 0;
}

void step(MatchState& ms, std::size_t count = 1) {
    ms.steps += count;
    if (ms.steps >= kChargeBatch) {
        chargeInstructions(ms.L, ms.steps);
        ms.steps = 0;
    }
}

void finish(MatchState& ms) {
    chargeInstructions(ms.L, ms.steps);
    ms.steps = 0;
}

int checkCapture(MatchState& ms, int l) {
    l -= '1';
    if (l < 0 || l >= ms.level || ms.capture[l].len == kUnfinished) {
        return luaL_error(ms.L, "invalid capture index %%%d", l + 1);
    }
    return l;
}

int captureToClose(MatchState& ms) {
    for (int level = ms.level - 1; level >= 0; level--) {
        if (ms.capture[level].len == kUnfinished) {
            return level;
        }
    }
    return luaL_error(ms.L, "invalid pattern capture");
}

// The end of the single-character class at p.
const char* classEnd(MatchState& ms, const char* p) {
    switch (*p++) {
        case kEscape:
            if (p == ms.patternEnd) {
                luaL_error(ms.L, "malformed pattern (ends with '%%')");
            }
            return p + 1;
        case '[':
            if (*p == '^') {
                p++;
            }
            do {
                if (p == ms.patternEnd) {
                    luaL_error(ms.L, "malformed pattern (missing ']')");
                }
                if (*(p++) == kEscape && p < ms.patternEnd) {
                    p++;  // an escape such as "%]"
                }
            } while (*p != ']');
            return p + 1;
        default:
            return p;
    }
}

// A class letter ("%a"); its capital stands for the complement, any other character for itself.
bool matchClass(int c, int cl) {
    static const char letters[] = "acdglpsuwx";
    static int (*const tests[])(int) = {::isalpha, ::iscntrl, ::isdigit, ::isgraph, ::islower,
                                        ::ispunct, ::isspace, ::isupper, ::isalnum, ::isxdigit};
    const int letter = std::tolower(cl);
    const char* known = letter != 0 ? std::strchr(letters, letter) : nullptr;
    bool matches = c == 0;  // 'z'
    if (known != nullptr) {
        matches = tests[known - letters](c) != 0;
    } else if (letter != 'z') {
        return cl == c;
    }
    return std::islower(cl) ? matches : !matches;
}

// p is the '[' of the set, end its ']'.
bool matchBracketClass(int c, const char* p, const char* end) {
    bool found = true;
    if (*(p + 1) == '^') {
        found = false;
        p++;
    }
    while (++p < end) {
        if (*p == kEscape) {
            p++;
            if (matchClass(c, uchar(*p))) {
                return found;
            }
        } else if (*(p + 1) == '-' && p + 2 < end) {
            p += 2;
            if (uchar(*(p - 2)) <= c && c <= uchar(*p)) {
                return found;
            }
        } else if (uchar(*p) == c) {
            return found;
        }
    }
    return !found;
}

bool singleMatch(MatchState& ms, const char* s, const char* p, const char* ep) {
    if (s >= ms.srcEnd) {
        return false;
    }
    const int c = uchar(*s);
    switch (*p) {
        case '.':
            return true;
        case kEscape:
            return matchClass(c, uchar(*(p + 1)));
        case '[':
            return matchBracketClass(c, p, ep - 1);
        default:
            return uchar(*p) == c;
    }
}

const char* match(MatchState& ms, const char* s, const char* p);

const char* matchBalance(MatchState& ms, const char* s, const char* p) {
    if (p >= ms.patternEnd - 1) {
        luaL_error(ms.L, "malformed pattern (missing arguments to '%%b')");
    }
    if (s >= ms.srcEnd || *s != *p) {
        return nullptr;
    }
    const char open = *p;
    const char close = *(p + 1);
    int depth = 1;
    while (++s < ms.srcEnd) {
        step(ms);
        if (*s == close) {
            if (--depth == 0) {
                return s + 1;
            }
        } else if (*s == open) {
            depth++;
        }
    }
    return nullptr;
}

const char* maxExpand(MatchState& ms, const char* s, const char* p, const char* ep) {
    std::ptrdiff_t i = 0;
    while (singleMatch(ms, s + i, p, ep)) {
        i++;
        step(ms);
    }
    for (; i >= 0; i--) {
        if (const char* end = match(ms, s + i, ep + 1)) {
            return end;
        }
    }
    return nullptr;
}

const char* minExpand(MatchState& ms, const char* s, const char* p, const char* ep) {
    for (;; s++) {
        if (const char* end = match(ms, s, ep + 1)) {
            return end;
        }
        if (!singleMatch(ms, s, p, ep)) {
            return nullptr;
        }
    }
}

const char* startCapture(MatchState& ms, const char* s, const char* p, std::ptrdiff_t what) {
    if (ms.level >= kMaxCaptures) {
        luaL_error(ms.L, "too many captures");
    }
    ms.capture[ms.level].init = s;
    ms.capture[ms.level].len = what;
    ms.level++;
    const char* end = match(ms, s, p);
    if (end == nullptr) {
        ms.level--;
    }
    return end;
}

const char* endCapture(MatchState& ms, const char* s, const char* p) {
    const int l = captureToClose(ms);
    ms.capture[l].len = s - ms.capture[l].init;
    const char* end = match(ms, s, p);
    if (end == nullptr) {
        ms.capture[l].len = kUnfinished;
    }
    return end;
}

const char* matchCapture(MatchState& ms, const char* s, int l) {
    l = checkCapture(ms, l);
    const auto len = static_cast<std::size_t>(ms.capture[l].len);
    if (static_cast<std::size_t>(ms.srcEnd - s) < len) {
        return nullptr;
    }
    step(ms, len / kBytesPerStep);
    return std::memcmp(ms.capture[l].init, s, len) == 0 ? s + len : nullptr;
}

// The end of the match of pattern p at s, or null. Each pass of the loop takes one item of
// the pattern; an item that matches in one way only goes on with the next.
const char* match(MatchState& ms, const char* s, const char* p) {
    if (ms.depth-- == 0) {
        luaL_error(ms.L, "pattern too complex");
    }
    step(ms, kStepsPerMatch);
    while (p != ms.patternEnd) {
        if (*p == '(') {
            s = *(p + 1) == ')' ? startCapture(ms, s, p + 2, kPosition)
                                : startCapture(ms, s, p + 1, kUnfinished);
            break;
        }
        if (*p == ')') {
            s = endCapture(ms, s, p + 1);
            break;
        }
        if (*p == '$' && p + 1 == ms.patternEnd) {
            s = s == ms.srcEnd ? s : nullptr;
            break;
        }
        if (*p == kEscape && *(p + 1) == 'b') {
            s = matchBalance(ms, s, p + 2);
            if (s == nullptr) {
                break;
            }
            p += 4;
            continue;
        }
        if (*p == kEscape && *(p + 1) == 'f') {
            p += 2;
            if (*p != '[') {
                luaL_error(ms.L, "missing '[' after '%%f' in pattern");
            }
            const char* ep = classEnd(ms, p);
            // Lua's strings end in a zero byte, which stands for the frontier past the end.
            const char previous = s == ms.srcInit ? '\0' : *(s - 1);
            if (!matchBracketClass(uchar(previous), p, ep - 1) &&
                matchBracketClass(uchar(*s), p, ep - 1)) {
                p = ep;
                continue;
            }
            s = nullptr;
            break;
        }
        if (*p == kEscape && std::isdigit(uchar(*(p + 1)))) {
            s = matchCapture(ms, s, uchar(*(p + 1)));
            if (s == nullptr) {
                break;
            }
            p += 2;
            continue;
        }
        const char* ep = classEnd(ms, p);
        if (!singleMatch(ms, s, p, ep)) {
            if (*ep == '*' || *ep == '?' || *ep == '-') {
                p = ep + 1;  // the item may match nothing
                continue;
            }
            s = nullptr;
            break;
        }
        if (*ep == '?') {
            if (const char* end = match(ms, s + 1, ep + 1)) {
                s = end;
                break;
            }
            p = ep + 1;
            continue;
        }
        if (*ep == '+' || *ep == '*') {
            s = maxExpand(ms, *ep == '+' ? s + 1 : s, p, ep);
            break;
        }
        if (*ep == '-') {
            s = minExpand(ms, s, p, ep);
            break;
        }
        s++;
        p = ep;
    }
    ms.depth++;
    return s;
}

void pushOneCapture(MatchState& ms, int i, const char* s, const char* e) {
    if (i >= ms.level) {
        if (i != 0) {
            luaL_error(ms.L, "invalid capture index");
        }
        lua_pushlstring(ms.L, s, e - s);  // the whole match
        return;
    }
    const std::ptrdiff_t len = ms.capture[i].len;
    if (len == kUnfinished) {
        luaL_error(ms.L, "unfinished capture");
    }
    if (len == kPosition) {
        lua_pushinteger(ms.L, ms.capture[i].init - ms.srcInit + 1);
    } else {
        lua_pushlstring(ms.L, ms.capture[i].init, len);
    }
}

// The captures, or the whole match when the pattern has none and s is given.
int pushCaptures(MatchState& ms, const char* s, const char* e) {
    const int count = ms.level == 0 && s != nullptr ? 1 : ms.level;
    luaL_checkstack(ms.L, count, "too many captures");
    for (int i = 0; i < count; i++) {
        pushOneCapture(ms, i, s, e);
    }
    return count;
}

bool noSpecials(const char* p, std::size_t lp) {
    std::size_t upto = 0;
    do {
        if (std::strpbrk(p + upto, kSpecials) != nullptr) {
            return false;
        }
        upto += std::strlen(p + upto) + 1;  // past a zero byte inside the pattern
    } while (upto <= lp);
    return true;
}

const char* findPlain(MatchState& ms, const char* s, std::size_t ls, const char* p,
                      std::size_t lp) {
    if (lp == 0) {
        return s;
    }
    if (lp > ls) {
        return nullptr;
    }
    const char* last = s + (ls - lp);
    while (s <= last) {
        const auto* hit = static_cast<const char*>(std::memchr(s, *p, last - s + 1));
        if (hit == nullptr) {
            step(ms, (last - s) / kBytesPerStep);
            return nullptr;
        }
        step(ms, 1 + (hit - s + lp) / kBytesPerStep);
        if (std::memcmp(hit + 1, p + 1, lp - 1) == 0) {
            return hit;
        }
        s = hit + 1;
    }
    return nullptr;
}

// A position argument as Lua takes it: negative counts from the end.
std::size_t absolutePosition(lua_Integer position, std::size_t length) {
    if (position >= 0) {
        return static_cast<std::size_t>(position);
    }
    if (0u - static_cast<std::size_t>(position) > length) {
        return 0;
    }
    return length + static_cast<std::size_t>(position) + 1;
}

int findAux(lua_State* L, bool find) {
    std::size_t ls = 0;
    std::size_t lp = 0;
    const char* s = luaL_checklstring(L, 1, &ls);
    const char* p = luaL_checklstring(L, 2, &lp);
    std::size_t init = absolutePosition(luaL_optinteger(L, 3, 1), ls);
    if (init < 1) {
        init = 1;
    } else if (init > ls + 1) {
        lua_pushnil(L);
        return 1;
    }
    MatchState ms;
    if (find && (lua_toboolean(L, 4) || noSpecials(p, lp))) {
        prepare(ms, L, s, ls, p, lp);
        const char* found = findPlain(ms, s + init - 1, ls - init + 1, p, lp);
        finish(ms);
        if (found != nullptr) {
            lua_pushinteger(L, found - s + 1);
            lua_pushinteger(L, found - s + lp);
            return 2;
        }
        lua_pushnil(L);
        return 1;
    }
    const bool anchor = *p == '^';
    if (anchor) {
        p++;
        lp--;
    }
    prepare(ms, L, s, ls, p, lp);
    const char* start = s + init - 1;
    do {
        ms.level = 0;
        if (const char* end = match(ms, start, p)) {
            finish(ms);
            if (!find) {
                return pushCaptures(ms, start, end);
            }
            lua_pushinteger(L, start - s + 1);
            lua_pushinteger(L, end - s);
            return pushCaptures(ms, nullptr, nullptr) + 2;
        }
    } while (start++ < ms.srcEnd && !anchor);
    finish(ms);
    lua_pushnil(L);
    return 1;
}

int find(lua_State* L) {
    return findAux(L, true);
}

int matchFunction(lua_State* L) {
    return findAux(L, false);
}

// Upvalues: the subject, the pattern and where the next search starts.
int gmatchNext(lua_State* L) {
    std::size_t ls = 0;
    std::size_t lp = 0;
    const char* s = lua_tolstring(L, lua_upvalueindex(1), &ls);
    const char* p = lua_tolstring(L, lua_upvalueindex(2), &lp);
    MatchState ms;
    prepare(ms, L, s, ls, p, lp);
    for (const char* start = s + lua_tointeger(L, lua_upvalueindex(3)); start <= ms.srcEnd;
         start++) {
        ms.level = 0;
        if (const char* end = match(ms, start, p)) {
            // After an empty match the next search starts one further on.
            lua_pushinteger(L, end - s + (end == start ? 1 : 0));
            lua_replace(L, lua_upvalueindex(3));
            finish(ms);
            return pushCaptures(ms, start, end);
        }
    }
    finish(ms);
    return 0;
}

int gmatch(lua_State* L) {
    luaL_checkstring(L, 1);
    luaL_checkstring(L, 2);
    lua_settop(L, 2);
    lua_pushinteger(L, 0);
    lua_pushcclosure(L, gmatchNext, 3);
    return 1;
}

void addString(MatchState& ms, luaL_Buffer& buffer, const char* s, const char* e) {
    std::size_t length = 0;
    const char* replacement = lua_tolstring(ms.L, 3, &length);
    for (std::size_t i = 0; i < length; i++) {
        if (replacement[i] != kEscape) {
            luaL_addchar(&buffer, replacement[i]);
            continue;
        }
        i++;
        if (!std::isdigit(uchar(replacement[i]))) {
            if (replacement[i] != kEscape) {
                luaL_error(ms.L, "invalid use of '%c' in replacement string", kEscape);
            }
            luaL_addchar(&buffer, replacement[i]);
        } else if (replacement[i] == '0') {
            luaL_addlstring(&buffer, s, e - s);
        } else {
            pushOneCapture(ms, replacement[i] - '1', s, e);
            luaL_addvalue(&buffer);
        }
    }
}

void addValue(MatchState& ms, luaL_Buffer& buffer, const char* s, const char* e, int type) {
    lua_State* L = ms.L;
    if (type == LUA_TFUNCTION) {
        lua_pushvalue(L, 3);
        lua_call(L, pushCaptures(ms, s, e), 1);
    } else if (type == LUA_TTABLE) {
        pushOneCapture(ms, 0, s, e);
        lua_gettable(L, 3);
    } else {
        addString(ms, buffer, s, e);
        return;
    }
    if (!lua_toboolean(L, -1)) {
        lua_pop(L, 1);
        lua_pushlstring(L, s, e - s);  // nil or false keeps the original text
    } else if (!lua_isstring(L, -1)) {
        luaL_error(L, "invalid replacement value (a %s)", luaL_typename(L, -1));
    }
    luaL_addvalue(&buffer);
}

int gsub(lua_State* L) {
    std::size_t ls = 0;
    std::size_t lp = 0;
    const char* src = luaL_checklstring(L, 1, &ls);
    const char* p = luaL_checklstring(L, 2, &lp);
    const int type = lua_type(L, 3);
    const auto most = static_cast<std::size_t>(luaL_optinteger(L, 4, ls + 1));
    luaL_argcheck(
        L,
        type == LUA_TNUMBER || type == LUA_TSTRING || type == LUA_TFUNCTION || type == LUA_TTABLE,
        3, "string/function/table expected");
    const bool anchor = *p == '^';
    if (anchor) {
        p++;
        lp--;
    }
    MatchState ms;
    prepare(ms, L, src, ls, p, lp);
    luaL_Buffer buffer;
    luaL_buffinit(L, &buffer);
    std::size_t count = 0;
    while (count < most) {
        ms.level = 0;
        const char* end = match(ms, src, p);
        if (end != nullptr) {
            count++;
            addValue(ms, buffer, src, end, type);
        }
        if (end != nullptr && end > src) {
            src = end;
        } else if (src < ms.srcEnd) {
            luaL_addchar(&buffer, *src++);
        } else {
            break;
        }
        if (anchor) {
            break;
        }
    }
    luaL_addlstring(&buffer, src, ms.srcEnd - src);
    finish(ms);
    luaL_pushresult(&buffer);
    lua_pushinteger(L, static_cast<lua_Integer>(count));
    return 2;
}

}  // namespace

void boundPatternMatching(lua_State* L) {
    lua_getglobal(L, LUA_STRLIBNAME);
    const luaL_Reg functions[] = {
        {"find", find}, {"match", matchFunction}, {"gmatch", gmatch}, {"gsub", gsub}, {}};
    luaL_setfuncs(L, functions, 0);
    lua_pop(L, 1);
}

}  // namespace kesh
