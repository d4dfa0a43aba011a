#include "game/world/statics/statics_loader.h"

#include <utility>

#include "game/world/statics/statics_set.h"

namespace {

// Meshes that the level files name by their old names.
const std::pair<const char*, const char*> kRenamedMeshes[] = {
    {"axujebytelnas", "xa"},
    {"bybis", "xb"},
    {"pyzdukas", "xc"},
    {"xuinia", "xd"},
};

const char kNoLightmap[] = "--NOLIGHTMAP--";

}  // namespace

StaticsLoader::StaticsLoader(const kesh::data::LevelData* levelData, const std::string& meshFolder,
                             const std::string& lightmapPrefix, const std::string& lightmapFolder)
    : levelData(levelData),
      lightmapFolder(lightmapFolder),
      lightmapPrefix(lightmapPrefix),
      meshFolder(meshFolder) {}

std::string StaticsLoader::meshPath(const std::string& mesh) const {
    std::string name = mesh;
    for (const auto& renamed : kRenamedMeshes) {
        if (name == renamed.first) {
            name = renamed.second;
        }
    }
    return meshFolder + name + ".wfm";
}

std::string StaticsLoader::lightmapPath(const std::vector<std::string>& lightmaps) const {
    const std::string name = lightmaps.empty() ? kNoLightmap : lightmapPrefix + lightmaps.front();
    return lightmapFolder + name + ".tga";
}

void StaticsLoader::load(StaticsSet& set) const {
    for (const kesh::data::StaticObject& object : levelData->statics) {
        const bool solid = (object.flags & kesh::data::StaticObject::solidFlag) != 0;
        set.addStatic(object.id, solid ? 2u : 1u, object.transform, lightmapPath(object.lightmaps),
                      meshPath(object.mesh), solid);
    }
    set.finishBounds();
}
