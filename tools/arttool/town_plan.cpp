#include "tools/arttool/town_plan.h"

#include <cstdio>

#include "tools/arttool/noise.h"

namespace arttool {

namespace {

constexpr float pi = 3.14159265f;

std::string numbered(const char* prefix, int number) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%02d", prefix, number);
    return name;
}

void addBuilding(TownPlan& plan, Random& random, float x0, float z0, float x1, float z1,
                 float minHeight, float maxHeight) {
    Building b;
    b.name = numbered("house", static_cast<int>(plan.buildings.size()));
    b.x0 = x0;
    b.z0 = z0;
    b.x1 = x1;
    b.z1 = z1;
    // Storeys of 3 units, so the facade's windows line up with the floors.
    b.height = 3.0f * static_cast<int>(random.range(minHeight, maxHeight) / 3.0f);
    const float pick = random.unit();
    b.facade = maxHeight > 25.0f ? Facade::Glass : pick < 0.5f ? Facade::Brick : Facade::Plaster;
    plan.buildings.push_back(b);
}

}  // namespace

TownPlan makeTownPlan() {
    TownPlan plan;
    Random random(2026);
    const float s = TownPlan::street;
    for (int j = 0; j < TownPlan::tiles; ++j) {
        for (int i = 0; i < TownPlan::tiles; ++i) {
            Tile tile;
            tile.name = numbered("ground", j * TownPlan::tiles + i);
            tile.x0 = TownPlan::minX + i * TownPlan::tileSize;
            tile.z0 = TownPlan::minZ + j * TownPlan::tileSize;
            // Widths and gaps are whole units, so the facades' bays fit.
            const float bx = tile.x0 + s + 4.0f;
            const float bz = tile.z0 + s + 4.0f;
            const int kind = (i * 7 + j * 3) % 5;
            if (kind == 2 && !(i == 1 && j == 1)) {
                tile.park = true;
                addBuilding(plan, random, bx + 24, bz + 24, bx + 44, bz + 44, 6, 7);
            } else if (kind == 4 || (i == 2 && j == 2)) {
                // A tower with two low neighbours.
                addBuilding(plan, random, bx + 12, bz + 12, bx + 52, bz + 52, 30, 46);
                addBuilding(plan, random, bx, bz + 56, bx + 24, bz + 68, 6, 10);
                addBuilding(plan, random, bx + 40, bz, bx + 68, bz + 8, 6, 10);
            } else {
                // Four houses round a yard.
                addBuilding(plan, random, bx, bz, bx + 28, bz + 24, 9, 19);
                addBuilding(plan, random, bx + 36, bz, bx + 68, bz + 28, 9, 19);
                addBuilding(plan, random, bx, bz + 36, bx + 24, bz + 68, 9, 19);
                addBuilding(plan, random, bx + 32, bz + 40, bx + 68, bz + 68, 9, 19);
            }
            plan.blocks.push_back(tile);
        }
    }
    // Lamps on the pavements along the inner streets, two per block side.
    for (int k = 1; k < TownPlan::tiles; ++k) {
        const float line = TownPlan::minX + k * TownPlan::tileSize;
        const float lineZ = TownPlan::minZ + k * TownPlan::tileSize;
        for (int t = 0; t < TownPlan::tiles; ++t) {
            for (const float along : {30.0f, 70.0f}) {
                plan.lamps.push_back(
                    {line - s - 2.0f, TownPlan::minZ + t * TownPlan::tileSize + along});
                plan.lamps.push_back(
                    {TownPlan::minX + t * TownPlan::tileSize + along, lineZ + s + 2.0f});
            }
        }
    }
    // Three drives across town, each a few hundred units, along the outer ring and the
    // inner streets.
    const float ring = TownPlan::street * 0.5f;
    plan.routes.push_back({{TownPlan::minX + ring, TownPlan::minZ + 20.0f},
                           {TownPlan::maxX - ring, TownPlan::maxZ - 20.0f},
                           0.0f});
    plan.routes.push_back({{TownPlan::maxX - ring, TownPlan::minZ + 20.0f},
                           {TownPlan::minX + ring, TownPlan::maxZ - 20.0f},
                           0.0f});
    plan.routes.push_back({{TownPlan::minX + 150.0f, TownPlan::minZ + 100.0f},
                           {TownPlan::maxX - 100.0f, TownPlan::maxZ - 50.0f},
                           pi * 0.5f});
    return plan;
}

}  // namespace arttool
