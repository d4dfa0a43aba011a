#include "common/file_data.h"

#include <cstdio>
#include <memory>

#include "win32/file_paths.h"
#include "win32/utf8.h"

namespace d3dx9 {
std::optional<std::string> findFile(const std::string& gamePath) {
    return win32::findExistingPath(gamePath);
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
    return win32::toUtf8(text != nullptr ? std::wstring(text) : std::wstring());
}

}  // namespace d3dx9
