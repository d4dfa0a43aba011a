// The tokens of a .x file's body, text or binary, read without copying and without trusting
// a single length: the checks that run before the importer stand on them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace d3dx9 {

// Names and strings the importer keeps in its fixed 1024-byte strings, terminator included.
constexpr std::size_t kMostXNameLength = 1023;

struct XToken {
    // A separator is "," or ";": the importer reads one after each number, and takes a stray
    // one where it expects a data object for an object of its own.
    enum class Kind { end, word, string, number, separator, open, close };
    Kind kind = Kind::end;
    std::string_view text;   // a word, a string's contents, or the separator
    bool integer = false;    // text: no fraction or exponent; binary: an integer token
    bool floatBits = false;  // binary: read from a float list
    long long value = 0;     // when integer; saturated far above any count a file can fill
};

class XTokenizer {
public:
    // `body` is what follows the 16-byte header; `floatBytes` (4 or 8) sizes binary floats.
    XTokenizer(const char* body, std::size_t size, bool binary, unsigned floatBytes)
        : at_(body), end_(body + size), binary_(binary), floatBytes_(floatBytes) {}

    // The next token, Kind::end once the body is read. False when the body is malformed: a
    // name or string longer than kMostXNameLength, an unclosed string, a binary length that
    // passes the end, or a binary token that does not exist.
    bool next(XToken& token);

private:
    bool nextText(XToken& token);
    bool nextBinary(XToken& token);

    const char* at_;
    const char* end_;
    bool binary_;
    unsigned floatBytes_;
    // A binary list being handed out one number at a time.
    std::uint32_t listLeft_ = 0;
    bool listOfIntegers_ = false;
};

}  // namespace d3dx9
