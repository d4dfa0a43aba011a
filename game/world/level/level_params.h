// What the play stage tells the level about where its files are and which car to build.
#pragma once

#include <string>

#include "game/world/level/car_maker.h"

struct LevelParams {
    std::wstring root;            // art folder, with its trailing separator
    std::wstring levelFile;       // relative to root
    std::wstring meshFolder;      // put before every static's mesh name
    std::wstring lightmapFolder;  // relative to the texture cache's folder
    std::wstring lightmapPrefix;  // put before every lightmap name
    std::wstring physicsScript;   // returns the collision surfaces
    CarMaker carMaker = makeJeep;
};
