// ".tai" texture-atlas indexes: loading never fails and never throws, every entry it makes
// names a ".dds" texture, and names from the input resolve through a sprite source.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "engine/render/gui/sprite_frame.h"
#include "engine/render/gui/texture_atlas.h"
#include "tests/fuzz/support/memory_bound.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::MemoryBound bound(size);
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream in(text);
    kesh::TextureAtlas atlas;
    atlas.load(in);

    // Every line's first word, as a name asked for in any of its spellings.
    const kesh::SpriteSource source(nullptr, &atlas);
    const int frameSize[2] = {16, 16};
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string name;
        if (!(words >> name)) {
            continue;
        }
        if (const kesh::AtlasEntry* entry = atlas.find(name)) {
            const std::string& texture = entry->texture;
            if (texture.size() < 5 || texture.compare(texture.size() - 4, 4, ".dds") != 0) {
                std::abort();
            }
            const float corner[2] = {1.0f, 1.0f};
            kesh::TextureAtlas::map(*entry, corner);
        }
        source.frame(name, frameSize);
        source.region(name);
        source.frame(name + ".dds", frameSize);
    }
    return 0;
}
