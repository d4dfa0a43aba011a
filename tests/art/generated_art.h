// The art folder the build made (proc_art/), read as it stands by the game's own services
// and readers.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "game/data/level_data.h"
#include "tests/support/services_fixture.h"

namespace art_testing {

using Bytes = std::vector<std::uint8_t>;

// The build's art folder, with its trailing '/'.
std::string generatedRoot();
// A file of exactly this name (the game opens some files with C++ streams, which are
// case-sensitive here).
bool exists(const std::string& relativePath);
Bytes readBytes(const std::string& relativePath);
std::string readText(const std::string& relativePath);
// Through the level reader the level, the car and the car interface use.
kesh::data::LevelData readLevel(const std::string& relativePath);

// The effect list's entries in file order, name and file: its lines' first two words,
// '#' comments and empty lines skipped.
std::vector<std::pair<std::string, std::string>> effectListEntries();
// The lines of the shell atlas that are not empty or comments.
int atlasLines();

class GeneratedArtTest : public morvale_testing::ServicesTest {
protected:
    explicit GeneratedArtTest(morvale_testing::DeviceKind kind = morvale_testing::DeviceKind::Null,
                              int width = 320, int height = 240);

    // The texture loader's checkerboard, which stands in for art that cannot be loaded.
    bool isFallback(const IDirect3DBaseTexture9* texture) const;
    // A texture below texture/hi/ (named without extension) loads through the texture cache
    // both as ".dds" and, as with the game's `tga` option, as ".tga".
    void expectTexture(const std::string& name);
    // The same for a name as the game's readers give it, with its ".dds".
    void expectTextureFile(const std::string& file);
};

}  // namespace art_testing
