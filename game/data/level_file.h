// Reading a level file by its path: the level, the car and the car's instruments all keep
// their records in ".slev" files.
#pragma once

#include <string>

#include "game/data/level_data.h"

namespace kesh {
namespace data {

// Reads the file at path into level. A file that cannot be opened throws
// kesh::stream::error 1, as data that ends at once would; every other failure is that of
// readLevelFile, and what was read before it stays in level.
void readLevelFileAt(const std::wstring& path, LevelData& level);

}  // namespace data
}  // namespace kesh
