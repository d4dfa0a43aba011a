// Writes level files: the records of kesh::data in the layout the level reader expects.
#pragma once

#include <cstdint>
#include <vector>

#include "game/data/level_data.h"
#include "tools/artlib/stream_writer.h"

namespace artlib {

// The version each record is written with (the newest the reader knows by default), and
// whether every record carries its class name.
struct LevelWriteOptions {
    std::uint32_t levelData = 0;
    std::uint32_t staticObject = 1;
    std::uint32_t effectObject = 0;
    std::uint32_t waterObject = 0;
    std::uint32_t treeObject = 0;
    std::uint32_t locatorObject = 1;
    std::uint32_t decalObject = 0;
    bool classNames = false;
};

void writeLevelData(StreamWriter& out, const kesh::data::LevelData& level,
                    const LevelWriteOptions& options = LevelWriteOptions());
// A whole level file: header and level record.
std::vector<std::uint8_t> levelFileBytes(const kesh::data::LevelData& level,
                                         const LevelWriteOptions& options = LevelWriteOptions());

}  // namespace artlib
