#include "common/file_data.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cstdio>
#include <memory>

namespace d3dx9 {
namespace {

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// The entry of `folder` whose name equals `name` without regard to case.
std::optional<std::string> matchEntry(const std::string& folder, const std::string& name) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
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

std::optional<std::string> findFile(const std::string& gamePath) {
    std::string path = gamePath;
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (path.empty()) {
        return std::nullopt;
    }
    if (exists(path)) {
        return path;
    }
    // `resolved` is the existing prefix found so far: "" (relative), "/" or a path
    // without a trailing separator.
    std::string resolved = path[0] == '/' ? "/" : "";
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string component = path.substr(start, end - start);
        start = end + 1;
        if (component.empty() || component == ".") {
            continue;
        }
        const std::string prefix =
            resolved.empty() ? "" : (resolved.back() == '/' ? resolved : resolved + "/");
        std::string candidate = prefix + component;
        if (!exists(candidate)) {
            const auto match = matchEntry(resolved.empty() ? "." : resolved, component);
            if (!match) {
                return std::nullopt;
            }
            candidate = prefix + *match;
        }
        resolved = candidate;
    }
    return exists(resolved) ? std::optional<std::string>(resolved) : std::nullopt;
}

std::optional<std::vector<std::uint8_t>> readFile(const std::string& gamePath) {
    const auto path = findFile(gamePath);
    if (!path) {
        return std::nullopt;
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path->c_str(), "rb"), &std::fclose);
    if (!file) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    if (std::ferror(file.get())) {
        return std::nullopt;
    }
    return bytes;
}

std::string toUtf8(const wchar_t* text) {
    std::string out;
    for (; text != nullptr && *text != 0; ++text) {
        const auto c = static_cast<std::uint32_t>(*text);
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
            out += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace d3dx9
