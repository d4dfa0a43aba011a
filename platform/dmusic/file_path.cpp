#include "file_path.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <memory>

namespace dmusic {
namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        c = 0xFFFD;
    }
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

// The entry of `folder` equal to `name` without regard to (ASCII) case.
std::optional<std::string> matchEntry(const std::string& folder, const std::string& name) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()),
                                            &::closedir);
    if (!dir) {
        return std::nullopt;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
            return std::string(entry->d_name);
        }
    }
    return std::nullopt;
}

}  // namespace

std::string toUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        appendUtf8(out, static_cast<char32_t>(c));
    }
    return out;
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
    if (path.empty()) {
        return std::nullopt;
    }
    if (exists(path)) {
        return path;
    }
    // Walk component by component, keeping what exists and matching the rest by case.
    std::string resolved = path.front() == '/' ? "/" : "";
    std::size_t begin = path.front() == '/' ? 1 : 0;
    while (begin <= path.size()) {
        std::size_t end = path.find('/', begin);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string part = path.substr(begin, end - begin);
        if (!part.empty()) {
            std::string candidate = resolved + part;
            if (!exists(candidate)) {
                const auto match = matchEntry(resolved, part);
                if (!match) {
                    return std::nullopt;
                }
                candidate = resolved + *match;
            }
            resolved = candidate;
            if (end < path.size()) {
                resolved += '/';
            }
        }
        begin = end + 1;
    }
    return resolved.empty() ? std::nullopt : std::optional<std::string>(resolved);
}

bool isDirectory(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace dmusic
