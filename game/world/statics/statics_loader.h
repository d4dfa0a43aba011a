// Turns the static records of a level into statics, working out their mesh and lightmap
// file names.
#pragma once

#include <string>

#include "game/data/level_data.h"

class StaticsSet;

class StaticsLoader {
public:
    // Neither the level data nor the set is owned; the level data must outlive the loader.
    StaticsLoader(const kesh::data::LevelData* levelData, const std::string& meshFolder,
                  const std::string& lightmapPrefix, const std::string& lightmapFolder);

    // Adds every static of the level data in file order, then finishes the set's bounds.
    void load(StaticsSet& set) const;

    // The mesh file of a static record's mesh name, renamed by the table of replaced names.
    std::string meshPath(const std::string& mesh) const;
    // The lightmap file of a static record's lightmap list.
    std::string lightmapPath(const std::vector<std::string>& lightmaps) const;

    const kesh::data::LevelData* levelData;
    std::string lightmapFolder;
    std::string lightmapPrefix;
    std::string meshFolder;
};
