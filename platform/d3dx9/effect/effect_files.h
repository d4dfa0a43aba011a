// Reading effect files and their includes from the art folder, which holds other people's
// files: only regular files (never a device, a pipe or a folder), no larger than an effect
// ever is, and for includes only inside the folder of the effect that names them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace d3dx9::fx {

// The most text one effect may read: its own file, and all its includes together. Real
// effects are a few KB, the largest seen about 100 KB; ten times that still loads in well
// under a second, while a file that includes itself twice per level, or a large file
// named by mistake, is stopped before it costs time or memory.
constexpr std::size_t kMaxEffectBytes = std::size_t(1) << 20;

// The text of the regular file a game path names, when it holds at most `maxBytes` bytes:
// the size is checked before anything is read. Nothing otherwise.
std::optional<std::string> readEffectFile(const std::string& path, std::size_t maxBytes);

// The folder (with its trailing separator) of the file a game path names, as written.
std::string folderOf(const std::string& path);

}  // namespace d3dx9::fx
