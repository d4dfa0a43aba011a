// Game paths to file-system paths: wide text to UTF-8, '\\' and '/' both separators, and a
// case-insensitive match per component when the exact path does not exist.
#pragma once

#include <optional>
#include <string>

namespace dmusic {

std::string toUtf8(const std::wstring& text);

// `path` with '\\' turned into '/', made relative to `folder` (a UTF-8 path) unless it is
// absolute. Not checked against the file system.
std::string joinPath(const std::string& folder, const std::wstring& path);

// The existing file-system path that `path` names, matching each component without
// regard to case when needed; nothing when there is none.
std::optional<std::string> findExisting(const std::string& path);

bool isDirectory(const std::string& path);

}  // namespace dmusic
