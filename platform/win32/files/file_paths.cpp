#include "win32/file_paths.h"

#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

namespace win32 {

namespace {

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};

// The entry of folder whose name equals name without regard to ASCII case.
std::optional<std::string> matchEntry(const std::string& folder, const std::string& name) {
    std::unique_ptr<DIR, DirectoryCloser> directory(::opendir(folder.c_str()));
    if (!directory) {
        return std::nullopt;
    }
    while (const dirent* entry = ::readdir(directory.get())) {
        if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
            return std::string(entry->d_name);
        }
    }
    return std::nullopt;
}

struct FreeDeleter {
    void operator()(char* text) const { ::free(text); }
};

// The path with every link and ".." resolved, or nothing when it does not exist.
std::optional<std::string> realPathOf(const std::string& gamePath) {
    const std::optional<std::string> existing = findExistingPath(gamePath);
    if (!existing) {
        return std::nullopt;
    }
    const std::unique_ptr<char, FreeDeleter> resolved(::realpath(existing->c_str(), nullptr));
    if (!resolved) {
        return std::nullopt;
    }
    return std::string(resolved.get());
}

}  // namespace

std::optional<std::string> findExistingPath(const std::string& gamePath) {
    std::string path = gamePath;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.empty()) {
        return std::nullopt;
    }
    if (exists(path)) {
        return path;
    }
    // `resolved` is the existing prefix found so far: "" (relative), "/" or a path without
    // a trailing separator.
    std::string resolved = path.front() == '/' ? "/" : "";
    std::size_t start = 0;
    while (start < path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string component = path.substr(start, end - start);
        start = end + 1;
        if (component.empty() || component == ".") {
            continue;
        }
        const std::string prefix =
            resolved.empty() || resolved.back() == '/' ? resolved : resolved + "/";
        std::string candidate = prefix + component;
        if (component != ".." && !exists(candidate)) {
            const auto match = matchEntry(resolved.empty() ? "." : resolved, component);
            if (!match) {
                return std::nullopt;
            }
            candidate = prefix + *match;
        }
        resolved = candidate;
    }
    if (resolved.empty() || !exists(resolved)) {
        return std::nullopt;
    }
    return resolved;
}

std::optional<FileIdentity> identifyFile(const std::string& gamePath) {
    const std::optional<std::string> existing = findExistingPath(gamePath);
    struct stat info {};
    if (!existing || ::stat(existing->c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{info.st_dev, info.st_ino};
}

bool isInsideFolder(const std::string& gamePath, const std::string& folder) {
    const std::optional<std::string> path = realPathOf(gamePath);
    const std::optional<std::string> root = realPathOf(folder);
    if (!path || !root) {
        return false;
    }
    if (*root == "/") {
        return true;
    }
    return path->compare(0, root->size(), *root) == 0 &&
           (path->size() == root->size() || (*path)[root->size()] == '/');
}

}  // namespace win32
