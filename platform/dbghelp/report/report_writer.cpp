#include "report/report_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace dbghelp {

ReportWriter& ReportWriter::bytes(const char* bytes, std::size_t length) {
    while (length > 0 && error_ == 0) {
        const ssize_t written = ::write(fd_, bytes, length);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            error_ = written < 0 ? errno : EIO;
            break;
        }
        bytes += written;
        length -= static_cast<std::size_t>(written);
    }
    return *this;
}

ReportWriter& ReportWriter::text(const char* text) {
    std::size_t length = 0;
    while (text != nullptr && text[length] != '\0') {
        ++length;
    }
    return bytes(text, length);
}

ReportWriter& ReportWriter::decimal(long long value) {
    char digits[24];
    int count = 0;
    unsigned long long magnitude = value < 0 ? 0 - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    do {
        digits[sizeof digits - 1 - count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        digits[sizeof digits - 1 - count++] = '-';
    }
    return bytes(digits + sizeof digits - count, static_cast<std::size_t>(count));
}

namespace {

void toHex(std::uint64_t value, char* out, int digits) {
    const char* symbols = "0123456789abcdef";
    for (int i = digits - 1; i >= 0; --i) {
        out[i] = symbols[value & 0xF];
        value >>= 4;
    }
}

}  // namespace

ReportWriter& ReportWriter::address(std::uintptr_t value) {
    char out[18] = {'0', 'x'};
    toHex(value, out + 2, 16);
    return bytes(out, sizeof out);
}

ReportWriter& ReportWriter::hex32(std::uint32_t value) {
    char out[10] = {'0', 'x'};
    toHex(value, out + 2, 8);
    return bytes(out, sizeof out);
}

bool ReportWriter::copyFile(const char* path) {
    int source = -1;
    do {
        source = ::open(path, O_RDONLY | O_CLOEXEC);
    } while (source < 0 && errno == EINTR);
    if (source < 0) {
        return false;
    }
    char chunk[4096];
    for (;;) {
        const ssize_t count = ::read(source, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        bytes(chunk, static_cast<std::size_t>(count));
    }
    ::close(source);
    return true;
}

}  // namespace dbghelp
