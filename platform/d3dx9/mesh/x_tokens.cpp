#include "mesh/x_tokens.h"

#include <cstring>

namespace d3dx9 {
namespace {

constexpr long long kSaturated = 1ll << 60;

// What the importer's text reader takes for a blank: C's isspace.
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool endsWord(char c) {
    return isSpace(c) || c == ';' || c == ',' || c == '{' || c == '}' || c == '"';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Sets number, integer and value from a word's text: [+-]digits[.digits][(e|E)[+-]digits].
void classify(XToken& token) {
    const std::string_view s = token.text;
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = s[i] == '-';
        ++i;
    }
    long long value = 0;
    size_t digits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++digits) {
        value = value >= kSaturated / 10 ? kSaturated : value * 10 + (s[i] - '0');
    }
    bool integer = true;
    if (i < s.size() && s[i] == '.') {
        integer = false;
        for (++i; i < s.size() && isDigit(s[i]); ++i) {
            ++digits;
        }
    }
    if (digits > 0 && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        integer = false;
        ++i;
        if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
            ++i;
        }
        const size_t exponentStart = i;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
        }
        if (i == exponentStart) {
            return;
        }
    }
    if (digits == 0 || i != s.size()) {
        return;
    }
    token.kind = XToken::Kind::number;
    token.integer = integer;
    token.value = negative ? -value : value;
}

std::uint32_t readU32(const char* p) {
    std::uint32_t value = 0;
    std::memcpy(&value, p, 4);
    return value;
}

std::uint16_t readU16(const char* p) {
    std::uint16_t value = 0;
    std::memcpy(&value, p, 2);
    return value;
}

}  // namespace

bool XTokenizer::next(XToken& token) {
    token = XToken{};
    return binary_ ? nextBinary(token) : nextText(token);
}

bool XTokenizer::nextText(XToken& token) {
    while (at_ < end_) {
        if (isSpace(*at_)) {
            ++at_;
        } else if (*at_ == '#' || (*at_ == '/' && at_ + 1 < end_ && at_[1] == '/')) {
            while (at_ < end_ && *at_ != '\n') {
                ++at_;
            }
        } else {
            break;
        }
    }
    if (at_ == end_) {
        return true;
    }
    if (*at_ == '{' || *at_ == '}') {
        token.kind = *at_ == '{' ? XToken::Kind::open : XToken::Kind::close;
        ++at_;
        return true;
    }
    if (*at_ == ';' || *at_ == ',') {
        token.kind = XToken::Kind::separator;
        token.text = std::string_view(at_++, 1);
        return true;
    }
    if (*at_ == '"') {
        const char* start = ++at_;
        while (at_ < end_ && *at_ != '"') {
            ++at_;
        }
        if (at_ == end_) {
            return false;
        }
        token.kind = XToken::Kind::string;
        token.text = std::string_view(start, static_cast<size_t>(at_ - start));
        ++at_;
        return token.text.size() <= kMostXNameLength;
    }
    const char* start = at_;
    while (at_ < end_ && !endsWord(*at_)) {
        ++at_;
    }
    token.kind = XToken::Kind::word;
    token.text = std::string_view(start, static_cast<size_t>(at_ - start));
    classify(token);
    return token.text.size() <= kMostXNameLength;
}

bool XTokenizer::nextBinary(XToken& token) {
    const auto left = [this] { return static_cast<unsigned long long>(end_ - at_); };
    // An empty list is no token: go on to the one after it.
    while (listLeft_ == 0 && left() >= 6 && (readU16(at_) == 6 || readU16(at_) == 7)) {
        const std::uint32_t count = readU32(at_ + 2);
        listOfIntegers_ = readU16(at_) == 6;
        at_ += 6;
        if (1ull * count * (listOfIntegers_ ? 4 : floatBytes_) > left()) {
            return false;
        }
        listLeft_ = count;
    }
    if (listLeft_ > 0) {
        --listLeft_;
        token.kind = XToken::Kind::number;
        if (listOfIntegers_) {
            token.integer = true;
            token.value = readU32(at_);
            at_ += 4;
        } else {
            token.floatBits = true;
            at_ += floatBytes_;
        }
        return true;
    }
    if (left() < 2) {
        return true;  // the end, or a stray byte after the last token
    }
    const std::uint16_t id = readU16(at_);
    at_ += 2;
    switch (id) {
        case 1:    // name
        case 2: {  // string, then the separator that ends it
            if (left() < 4) {
                return false;
            }
            const std::uint32_t length = readU32(at_);
            at_ += 4;
            const unsigned long long needed = length + (id == 2 ? 2ull : 0ull);
            if (length > kMostXNameLength || needed > left()) {
                return false;
            }
            token.kind = id == 1 ? XToken::Kind::word : XToken::Kind::string;
            token.text = std::string_view(at_, length);
            at_ += needed;
            return true;
        }
        case 3:  // one integer
            if (left() < 4) {
                return false;
            }
            token.kind = XToken::Kind::number;
            token.integer = true;
            token.value = readU32(at_);
            at_ += 4;
            return true;
        case 5:  // GUID
            if (left() < 16) {
                return false;
            }
            token.kind = XToken::Kind::word;
            token.text = "<guid>";
            at_ += 16;
            return true;
        case 6:  // a list whose count is cut off
        case 7:
            return false;
        case 0x0A:
            token.kind = XToken::Kind::open;
            return true;
        case 0x0B:
            token.kind = XToken::Kind::close;
            return true;
        case 0x13:
        case 0x14:
            token.kind = XToken::Kind::separator;
            token.text = id == 0x13 ? "," : ";";
            return true;
        case 0x1F:
            token.kind = XToken::Kind::word;
            token.text = "template";
            return true;
        default:
            // Other punctuation (0x0C..0x12) and the template's type names (0x28..0x34).
            if ((id >= 0x0C && id <= 0x12) || (id >= 0x28 && id <= 0x34)) {
                token.kind = XToken::Kind::word;
                token.text = "<symbol>";
                return true;
            }
            return false;
    }
}

}  // namespace d3dx9
