#include "tests/art/generated_art.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "engine/core/stream_reader.h"
#include "engine/core/stream_source.h"
#include "engine/core/strings.h"

namespace art_testing {

namespace fs = std::filesystem;

std::string generatedRoot() {
    return std::string(MORVALE_ART_DIR) + "/";
}

bool exists(const std::string& relativePath) {
    return fs::is_regular_file(generatedRoot() + relativePath);
}

Bytes readBytes(const std::string& relativePath) {
    std::ifstream in(generatedRoot() + relativePath, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string readText(const std::string& relativePath) {
    const Bytes bytes = readBytes(relativePath);
    return std::string(bytes.begin(), bytes.end());
}

kesh::data::LevelData readLevel(const std::string& relativePath) {
    auto source = kesh::openStreamSource(kesh::toWide(generatedRoot() + relativePath));
    kesh::StreamReader reader(source.get());
    kesh::data::LevelData level;
    kesh::data::readLevelFile(reader, level);
    return level;
}

std::map<std::string, std::string> effectList() {
    std::map<std::string, std::string> effects;
    std::istringstream in(readText("config/effect_config.cmd"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream words(line);
        std::string name, file;
        words >> name >> file;
        effects.emplace(name, file);
    }
    return effects;
}

std::map<std::string, AtlasEntry> atlasEntries() {
    std::map<std::string, AtlasEntry> entries;
    std::istringstream in(readText("texture/hi/gui/shell.tai"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream words(line);
        std::string name;
        AtlasEntry entry;
        if (words >> name >> entry.file >> entry.u >> entry.v >> entry.w >> entry.h) {
            entries.emplace(name, entry);
        }
    }
    return entries;
}

void GeneratedArtTest::SetUp() {
    ServicesTest::SetUp();
    // The services read the generated folder itself; the scripts and effect files are the
    // committed ones the fixture copied.
    for (const char* sub : {"texture", "mesh", "audio", "levels", "video"}) {
        const fs::path link = fs::path(artRoot()) / sub;
        fs::remove_all(link);
        fs::create_directory_symlink(generatedRoot() + sub, link);
    }
}

}  // namespace art_testing
