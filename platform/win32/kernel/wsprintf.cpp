// wsprintfW with the Windows rules (see win32/format.h). Allocates nothing, so the crash
// handler can format its messages with it.
#include <cstdint>

#include "win32/format.h"

namespace {

// Windows writes at most this many characters, the terminator included.
constexpr int kMaxOutput = 1024;

class Output {
public:
    explicit Output(LPWSTR buffer) : buffer_(buffer) {}

    void put(wchar_t c) {
        if (length_ < kMaxOutput - 1) {
            buffer_[length_++] = c;
        }
    }
    void repeat(wchar_t c, int count) {
        for (int i = 0; i < count; ++i) {
            put(c);
        }
    }
    int finish() {
        buffer_[length_] = L'\0';
        return length_;
    }

private:
    LPWSTR buffer_;
    int length_ = 0;
};

struct Spec {
    bool leftAlign = false;
    bool zeroPad = false;
    bool prefix = false;
    int width = 0;
    int precision = -1;
    bool wideSize = false;    // 'l' / 'w'
    bool narrowSize = false;  // 'h'
    bool size64 = false;      // "I64"
};

int readNumber(LPCWSTR& format) {
    int value = 0;
    while (*format >= L'0' && *format <= L'9') {
        if (value < kMaxOutput) {
            value = value * 10 + (*format - L'0');
        }
        ++format;
    }
    return value;
}

template <typename Char>
void putString(Output& out, const Spec& spec, const Char* text) {
    int length = 0;
    while (text[length] != 0 && (spec.precision < 0 || length < spec.precision)) {
        ++length;
    }
    const int padding = spec.width > length ? spec.width - length : 0;
    if (!spec.leftAlign) {
        out.repeat(L' ', padding);
    }
    for (int i = 0; i < length; ++i) {
        // A narrow character is taken as its byte value, like the game's own widening.
        out.put(sizeof(Char) == 1 ? static_cast<wchar_t>(static_cast<unsigned char>(text[i]))
                                  : static_cast<wchar_t>(text[i]));
    }
    if (spec.leftAlign) {
        out.repeat(L' ', padding);
    }
}

void putNumber(Output& out, const Spec& spec, std::uint64_t magnitude, bool negative, unsigned base,
               bool upper) {
    wchar_t digits[24];
    int count = 0;
    const wchar_t* symbols = upper ? L"0123456789ABCDEF" : L"0123456789abcdef";
    do {
        digits[count++] = symbols[magnitude % base];
        magnitude /= base;
    } while (magnitude != 0);
    const int minimumDigits = spec.precision > count ? spec.precision : count;
    const wchar_t* prefix =
        negative ? L"-" : (spec.prefix && base == 16 ? (upper ? L"0X" : L"0x") : L"");
    int prefixLength = 0;
    while (prefix[prefixLength] != 0) {
        ++prefixLength;
    }
    const int body = prefixLength + minimumDigits;
    const int padding = spec.width > body ? spec.width - body : 0;
    // As in C, a precision turns zero padding off.
    const bool zeroPad = spec.zeroPad && !spec.leftAlign && spec.precision < 0;
    if (!spec.leftAlign && !zeroPad) {
        out.repeat(L' ', padding);
    }
    for (int i = 0; i < prefixLength; ++i) {
        out.put(prefix[i]);
    }
    if (zeroPad) {
        out.repeat(L'0', padding);
    }
    out.repeat(L'0', minimumDigits - count);
    while (count > 0) {
        out.put(digits[--count]);
    }
    if (spec.leftAlign) {
        out.repeat(L' ', padding);
    }
}

}  // namespace

int wvsprintfW(LPWSTR buffer, LPCWSTR format, va_list arguments) {
    if (buffer == nullptr) {
        return 0;
    }
    Output out(buffer);
    if (format == nullptr) {
        return out.finish();
    }
    while (*format != L'\0') {
        if (*format != L'%') {
            out.put(*format++);
            continue;
        }
        const LPCWSTR conversionStart = format++;
        Spec spec;
        for (;; ++format) {
            if (*format == L'-') {
                spec.leftAlign = true;
            } else if (*format == L'0') {
                spec.zeroPad = true;
            } else if (*format == L'#') {
                spec.prefix = true;
            } else {
                break;
            }
        }
        spec.width = readNumber(format);
        if (*format == L'.') {
            ++format;
            spec.precision = readNumber(format);
        }
        if (*format == L'l' || *format == L'w') {
            spec.wideSize = true;
            ++format;
        } else if (*format == L'h') {
            spec.narrowSize = true;
            ++format;
        } else if (format[0] == L'I' && format[1] == L'6' && format[2] == L'4') {
            spec.size64 = true;
            format += 3;
        }
        const wchar_t type = *format;
        switch (type) {
            case L'%':
                out.put(L'%');
                break;
            case L's':
            case L'S': {
                const bool narrow = spec.narrowSize || (type == L'S' && !spec.wideSize);
                if (narrow) {
                    const char* text = va_arg(arguments, const char*);
                    putString(out, spec, text != nullptr ? text : "(null)");
                } else {
                    const wchar_t* text = va_arg(arguments, const wchar_t*);
                    putString(out, spec, text != nullptr ? text : L"(null)");
                }
                break;
            }
            case L'c':
            case L'C': {
                const bool narrow = spec.narrowSize || (type == L'C' && !spec.wideSize);
                const int value = va_arg(arguments, int);
                const wchar_t text[2] = {
                    narrow ? static_cast<wchar_t>(static_cast<unsigned char>(value))
                           : static_cast<wchar_t>(value),
                    L'\0'};
                Spec character = spec;
                character.precision = -1;
                putString(out, character, text);
                break;
            }
            case L'd':
            case L'i': {
                const std::int64_t value =
                    spec.size64 ? va_arg(arguments, std::int64_t) : va_arg(arguments, std::int32_t);
                const std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                                          : static_cast<std::uint64_t>(value);
                putNumber(out, spec, magnitude, value < 0, 10, false);
                break;
            }
            case L'u':
            case L'x':
            case L'X': {
                const std::uint64_t value = spec.size64 ? va_arg(arguments, std::uint64_t)
                                                        : va_arg(arguments, std::uint32_t);
                putNumber(out, spec, value, false, type == L'u' ? 10 : 16, type == L'X');
                break;
            }
            default:
                // Not a conversion Windows knows: the text stays as it was written.
                for (LPCWSTR c = conversionStart; c != format; ++c) {
                    out.put(*c);
                }
                if (type == L'\0') {
                    return out.finish();
                }
                out.put(type);
                break;
        }
        ++format;
    }
    return out.finish();
}

int wsprintfW(LPWSTR buffer, LPCWSTR format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int length = wvsprintfW(buffer, format, arguments);
    va_end(arguments);
    return length;
}
