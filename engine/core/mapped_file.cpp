#include "engine/core/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <utility>

#include "win32/file_paths.h"

namespace kesh {

namespace {

// Closes the descriptor on every path out of the constructor; the mapping outlives it.
struct Descriptor {
    explicit Descriptor(int value) : fd(value) {}
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd;
};

}  // namespace

MappedFile::MappedFile(const std::string& path) {
    std::string native = path;
    std::replace(native.begin(), native.end(), '\\', '/');
    Descriptor file(::open(native.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.fd < 0 && errno == ENOENT) {
        // The art names files as a case-insensitive file system would take them.
        const std::optional<std::string> matched = win32::findExistingPath(native);
        if (matched) {
            file.fd = ::open(matched->c_str(), O_RDONLY | O_CLOEXEC);
        }
    }
    if (file.fd < 0) {
        return;
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) {
        return;
    }
    const auto length = static_cast<std::size_t>(info.st_size);
    void* view = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, file.fd, 0);
    if (view == MAP_FAILED) {
        return;
    }
    data_ = static_cast<const std::uint8_t*>(view);
    size_ = length;
}

MappedFile::~MappedFile() {
    unmap();
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        unmap();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void MappedFile::unmap() {
    if (data_) {
        ::munmap(const_cast<std::uint8_t*>(data_), size_);
        data_ = nullptr;
        size_ = 0;
    }
}

}  // namespace kesh
