// ".slev" level files: the reader ends in level data or a stream error, nothing else.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/core/stream_error.h"
#include "game/world/data/level_data.h"
#include "tests/fuzz/support/memory_bound.h"
#include "tests/support/memory_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::MemoryBound bound(size);
    testing_support::MemorySource source(std::vector<std::uint8_t>(data, data + size));
    kesh::StreamReader reader(&source);
    try {
        kesh::data::LevelData level;
        kesh::data::readLevelFile(reader, level);
    } catch (const kesh::stream::error&) {
    }
    return 0;
}
