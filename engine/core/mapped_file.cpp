#include "engine/core/mapped_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <utility>

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

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};

// The entry of folder whose name equals name ignoring ASCII case; empty when none does.
std::string findIgnoringCase(const std::string& folder, const std::string& name) {
    std::unique_ptr<DIR, DirectoryCloser> directory(::opendir(folder.c_str()));
    if (!directory) {
        return std::string();
    }
    while (const dirent* entry = ::readdir(directory.get())) {
        if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
            return entry->d_name;
        }
    }
    return std::string();
}

// The art names files as a case-insensitive file system would take them; find the file
// whose path matches ignoring case, component by component. Empty when there is none.
std::string resolveCase(const std::string& path) {
    std::string resolved = path.compare(0, 1, "/") == 0 ? "/" : "";
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string name = path.substr(start, end - start);
        start = end + 1;
        if (name.empty()) {
            continue;
        }
        const std::string folder = resolved.empty() ? "." : resolved;
        const std::string prefix =
            resolved.empty() || resolved.back() == '/' ? resolved : resolved + "/";
        struct stat info {};
        if (name == "." || name == ".." || ::stat((prefix + name).c_str(), &info) == 0) {
            resolved = prefix + name;
            continue;
        }
        const std::string match = findIgnoringCase(folder, name);
        if (match.empty()) {
            return std::string();
        }
        resolved = prefix + match;
    }
    return resolved;
}

}  // namespace

MappedFile::MappedFile(const std::string& path) {
    std::string native = path;
    std::replace(native.begin(), native.end(), '\\', '/');
    Descriptor file(::open(native.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.fd < 0 && errno == ENOENT) {
        const std::string matched = resolveCase(native);
        if (!matched.empty()) {
            file.fd = ::open(matched.c_str(), O_RDONLY | O_CLOEXEC);
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
