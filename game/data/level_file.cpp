#include "game/data/level_file.h"

#include <memory>

#include "engine/core/stream_reader.h"
#include "engine/core/stream_source.h"

namespace kesh {
namespace data {

void readLevelFileAt(const std::wstring& path, LevelData& level) {
    const std::unique_ptr<StreamSource> source = openStreamSource(path);
    // A reader without a source is bad: its first read throws the stream error.
    StreamReader reader(source.get());
    readLevelFile(reader, level);
}

}  // namespace data
}  // namespace kesh
