#include "file_path.h"

#include <sys/stat.h>

#include "win32/file_paths.h"
#include "win32/utf8.h"

namespace dmusic {

std::string toUtf8(const std::wstring& text) {
    return win32::toUtf8(text);
}

std::string joinPath(const std::string& folder, const std::wstring& path) {
    std::string relative = toUtf8(path);
    for (char& c : relative) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (!relative.empty() && relative.front() == '/') {
        return relative;
    }
    if (folder.empty()) {
        return relative;
    }
    std::string joined = folder;
    for (char& c : joined) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (joined.back() != '/') {
        joined += '/';
    }
    return joined + relative;
}

std::optional<std::string> findExisting(const std::string& path) {
    return win32::findExistingPath(path);
}

bool isDirectory(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace dmusic
