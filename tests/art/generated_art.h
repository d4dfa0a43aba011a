// The art folder the build made (proc_art/), seen through the game's own services: the
// fixture's art folder links to its sub-folders.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "game/world/data/level_data.h"
#include "tests/support/services_fixture.h"

namespace art_testing {

using Bytes = std::vector<std::uint8_t>;

// The build's art folder, with its trailing '/'.
std::string generatedRoot();
bool exists(const std::string& relativePath);
Bytes readBytes(const std::string& relativePath);
std::string readText(const std::string& relativePath);
kesh::data::LevelData readLevel(const std::string& relativePath);

// Lines "name file" of the effect list, '#' comments and empty lines skipped.
std::map<std::string, std::string> effectList();

struct AtlasEntry {
    std::string file;
    float u = 0, v = 0, w = 0, h = 0;
};
// The shell atlas' lines by exact name.
std::map<std::string, AtlasEntry> atlasEntries();

class GeneratedArtTest : public morvale_testing::ServicesTest {
protected:
    using ServicesTest::ServicesTest;
    void SetUp() override;
};

}  // namespace art_testing
