// Writes the crash report's text to a file descriptor without allocating, remembering the
// first error so that the dump call can report it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dbghelp {

class ReportWriter {
public:
    explicit ReportWriter(int fd) : fd_(fd) {}

    ReportWriter& text(const char* text);
    ReportWriter& bytes(const char* bytes, std::size_t length);
    ReportWriter& decimal(long long value);
    // "0x" and 16 hex digits, so that addresses line up with /proc/self/maps.
    ReportWriter& address(std::uintptr_t value);
    ReportWriter& hex32(std::uint32_t value);

    // Copies a whole file (the memory map) into the report; false when it cannot be read.
    bool copyFile(const char* path);

    int fd() const { return fd_; }
    // 0 while every write went through, else the errno of the first failure.
    int error() const { return error_; }

private:
    int fd_;
    int error_ = 0;
};

}  // namespace dbghelp
