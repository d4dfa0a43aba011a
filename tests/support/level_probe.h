// The way into a level's state for tests and the benchmarks: its car, cells, ground and
// level records, the marks laid, the time owed to the next step and the camera in use.
#pragma once

#include <vector>

#include "game/world/level/level.h"

struct LevelProbe {
    static CVehicle* vehicle(const Level& level) { return level.vehicle(); }
    static LevelCellGrid* cells(const Level& level) { return level.cellGrid.get(); }
    static GroundPlane* ground(const Level& level) { return level.groundPlane.get(); }
    static const kesh::data::LevelData& data(const Level& level) { return *level.levelData; }
    static const std::vector<TimedDecal>& decals(const Level& level) { return level.timedDecals; }
    static double owedTime(const Level& level) { return level.accumulator; }
    static bool insideView(const Level& level) { return !level.outsideCamera; }
};
