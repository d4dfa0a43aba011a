// Game paths to file-system paths. The game's paths mix '\' and '/', and its art names may
// differ in case from the files on disk.
#pragma once

#include <optional>
#include <string>

namespace win32 {

// The existing path that a game path names: '\' read as '/', and each component that does
// not exist as written matched without regard to (ASCII) case. Nothing when there is none.
std::optional<std::string> findExistingPath(const std::string& path);

}  // namespace win32
