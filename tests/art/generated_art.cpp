#include "tests/art/generated_art.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "engine/core/strings.h"
#include "engine/render/texture/texture_loader.h"
#include "game/data/level_file.h"

namespace art_testing {

namespace fs = std::filesystem;

std::string generatedRoot() {
    return std::string(MORVALE_ART_DIR) + "/";
}

bool exists(const std::string& relativePath) {
    // Listed rather than asked for: the file system may not care about case.
    const fs::path path = fs::path(generatedRoot()) / relativePath;
    if (!fs::is_directory(path.parent_path())) {
        return false;
    }
    for (const auto& entry : fs::directory_iterator(path.parent_path())) {
        if (entry.path().filename() == path.filename()) {
            return entry.is_regular_file();
        }
    }
    return false;
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
    kesh::data::LevelData level;
    kesh::data::readLevelFileAt(kesh::toWide(generatedRoot() + relativePath), level);
    return level;
}

std::vector<std::pair<std::string, std::string>> effectListEntries() {
    std::vector<std::pair<std::string, std::string>> entries;
    std::istringstream in(readText("config/effect_config.cmd"));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string name, file;
        if (words >> name && name[0] != '#') {
            words >> file;
            entries.emplace_back(name, file);
        }
    }
    return entries;
}

int atlasLines() {
    std::istringstream in(readText("texture/hi/gui/shell.tai"));
    std::string line;
    int lines = 0;
    while (std::getline(in, line)) {
        lines += line.empty() || line[0] == '#' ? 0 : 1;
    }
    return lines;
}

GeneratedArtTest::GeneratedArtTest(morvale_testing::DeviceKind kind, int width, int height)
    : ServicesTest(kind, width, height) {
    useArtFolder(generatedRoot());
}

bool GeneratedArtTest::isFallback(const IDirect3DBaseTexture9* texture) const {
    return texture == nullptr || texture == textureLoader->fallbackTexture();
}

void GeneratedArtTest::expectTexture(const std::string& name) {
    for (const char* extension : {".dds", ".tga"}) {
        textureLoader->setExtension(extension);
        const kesh::ResourceId id(name + ".dds");
        EXPECT_FALSE(isFallback(kesh::theTextureCache->fetch(id)))
            << textureLoader->pathOf(id.id) << " does not load";
        kesh::theTextureCache->release(id);
    }
    textureLoader->setExtension("");
}

void GeneratedArtTest::expectTextureFile(const std::string& file) {
    ASSERT_GT(file.size(), 4u);
    ASSERT_EQ(file.substr(file.size() - 4), ".dds") << file;
    expectTexture(file.substr(0, file.size() - 4));
}

}  // namespace art_testing
