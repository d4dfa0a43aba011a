#include "effect_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "win32/file_paths.h"

namespace d3dx9::fx {

std::optional<std::string> readEffectFile(const std::string& path, std::size_t maxBytes) {
    const std::optional<std::string> found = win32::findExistingPath(path);
    if (!found) {
        return std::nullopt;
    }
    // Non-blocking, so that opening a pipe nobody writes to does not wait for ever.
    const int fd = ::open(found->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info {};
    std::string text;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
              static_cast<std::size_t>(info.st_size) <= maxBytes;
    if (ok) {
        text.resize(static_cast<std::size_t>(info.st_size));
        std::size_t got = 0;
        // A file that grows while it is read is taken at the size it had.
        while (got < text.size()) {
            const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                ok = n == 0;
                break;
            }
            got += static_cast<std::size_t>(n);
        }
        text.resize(got);
    }
    ::close(fd);
    return ok ? std::optional<std::string>(std::move(text)) : std::nullopt;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace d3dx9::fx
