// What the play stage tells the level about where its files are.
#pragma once

#include <string>

struct LevelParams {
    std::wstring root;            // art folder, with its trailing separator
    std::wstring levelFile;       // relative to root
    std::wstring meshFolder;      // put before every static's mesh name
    std::wstring lightmapFolder;  // relative to the texture cache's folder
    std::wstring lightmapPrefix;  // put before every lightmap name
    std::wstring physicsScript;   // returns the collision surfaces
};
