// The layout of the town: where the blocks, buildings, lamps and routes are. The level, its
// lightmaps and the map picture are all drawn from this one plan.
#pragma once

#include <string>
#include <vector>

namespace arttool {

enum class Facade { Brick, Plaster, Glass };

struct Building {
    std::string name;                      // mesh and lightmap name
    float x0 = 0, z0 = 0, x1 = 0, z1 = 0;  // footprint in world units
    float height = 0;
    Facade facade = Facade::Brick;
};

// A block of the town: one ground tile with its streets along the edges.
struct Tile {
    std::string name;
    float x0 = 0, z0 = 0;  // the corner with the smallest coordinates
    bool park = false;
};

struct Point {
    float x = 0, z = 0;
};

// A start and its end, the car's heading at the start in radians about y (0 = +z).
struct Route {
    Point start;
    Point end;
    float heading = 0;
};

struct TownPlan {
    // The statics' box on the ground plane, which the map screen spans with the plan.
    static constexpr float maxX = 512.0f;
    static constexpr float minZ = -516.0f;
    static constexpr float size = 400.0f;
    static constexpr float minX = maxX - size;
    static constexpr float maxZ = minZ + size;
    static constexpr float tileSize = 100.0f;
    static constexpr int tiles = 4;
    // The pavement block inside each tile starts this far from the tile's edges.
    static constexpr float street = 12.0f;
    static constexpr float wallThickness = 1.0f;
    static constexpr float wallHeight = 1.5f;

    std::vector<Tile> blocks;
    std::vector<Building> buildings;
    std::vector<Point> lamps;
    std::vector<Route> routes;
};

TownPlan makeTownPlan();

}  // namespace arttool
