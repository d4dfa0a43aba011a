// Moving text between the wide strings of the Win32 calls and the bytes of the OS.
#include <unistd.h>

#include <cerrno>

#include "internal.h"
#include "win32/posix.h"

namespace win32::detail {

std::wstring widenBytes(const char* bytes, std::size_t length) {
    std::wstring text(length, L'\0');
    for (std::size_t i = 0; i < length; ++i) {
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    }
    return text;
}

DWORD copyOut(const wchar_t* text, std::size_t length, DWORD bufferLength, LPWSTR buffer) {
    if (buffer == nullptr || length + 1 > bufferLength) {
        return static_cast<DWORD>(length + 1);
    }
    for (std::size_t i = 0; i < length; ++i) {
        buffer[i] = text[i];
    }
    buffer[length] = L'\0';
    return static_cast<DWORD>(length);
}

DWORD copyOutBytes(const char* bytes, std::size_t length, DWORD bufferLength, LPWSTR buffer) {
    if (buffer == nullptr || length + 1 > bufferLength) {
        return static_cast<DWORD>(length + 1);
    }
    for (std::size_t i = 0; i < length; ++i) {
        buffer[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    }
    buffer[length] = L'\0';
    return static_cast<DWORD>(length);
}

std::size_t encodeUnit(wchar_t unit, char* out, bool toPath) {
    const auto code = static_cast<std::uint32_t>(unit);
    if (toPath && unit == L'\\') {
        out[0] = '/';
        return 1;
    }
    if (code <= 0xFF) {
        out[0] = static_cast<char>(code);
        return 1;
    }
    if (code < 0x800) {
        out[0] = static_cast<char>(0xC0 | (code >> 6));
        out[1] = static_cast<char>(0x80 | (code & 0x3F));
        return 2;
    }
    if (code >= 0xD800 && code <= 0xDFFF) {
        out[0] = '?';  // a lone surrogate has no UTF-8 form
        return 1;
    }
    if (code < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (code >> 12));
        out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (code & 0x3F));
        return 3;
    }
    if (code < 0x110000) {
        out[0] = static_cast<char>(0xF0 | (code >> 18));
        out[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out[3] = static_cast<char>(0x80 | (code & 0x3F));
        return 4;
    }
    out[0] = '?';
    return 1;
}

void writeBytes(int fd, const char* bytes, std::size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(fd, bytes, length);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        bytes += written;
        length -= static_cast<std::size_t>(written);
    }
}

void writeWide(int fd, const wchar_t* text) {
    char chunk[512];
    std::size_t used = 0;
    for (; *text != L'\0'; ++text) {
        if (used + 4 > sizeof chunk) {
            writeBytes(fd, chunk, used);
            used = 0;
        }
        used += encodeUnit(*text, chunk + used, false);
    }
    writeBytes(fd, chunk, used);
}

}  // namespace win32::detail

namespace win32 {

std::size_t encodeForOs(const wchar_t* text, char* out, std::size_t capacity, bool toPath) {
    std::size_t needed = 0;
    std::size_t written = 0;
    bool cut = false;
    for (; text != nullptr && *text != L'\0'; ++text) {
        char bytes[4];
        const std::size_t count = detail::encodeUnit(*text, bytes, toPath);
        needed += count;
        if (!cut && written + count < capacity) {
            for (std::size_t i = 0; i < count; ++i) {
                out[written++] = bytes[i];
            }
        } else {
            cut = true;  // never leave half a character behind
        }
    }
    if (capacity > 0) {
        out[written] = '\0';
    }
    return needed;
}

}  // namespace win32
