// Reading the files D3DX loads by name. Game paths mix '\\' and '/' and may differ in case
// from the files on disk.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace d3dx9 {

// The existing file a game path names: '\\' taken as '/', each component matched without
// regard to case when the exact one is missing. Nothing when there is none.
std::optional<std::string> findFile(const std::string& path);

// The whole file, or nothing when it cannot be found or read.
std::optional<std::vector<std::uint8_t>> readFile(const std::string& path);

// Wide text as UTF-8.
std::string toUtf8(const wchar_t* text);

}  // namespace d3dx9
