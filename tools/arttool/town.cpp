#include "tools/arttool/town.h"

#include <d3dx9math.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "tools/artlib/level_writer.h"
#include "tools/artlib/mesh_writer.h"
#include "tools/arttool/mesh_builder.h"
#include "tools/arttool/noise.h"
#include "tools/arttool/paint.h"
#include "tools/arttool/textures.h"

namespace arttool {

namespace {

using artlib::argb;
using kesh::data::LevelData;

constexpr float pi = 3.14159265f;
constexpr int lightmapSize = 128;
constexpr int groundLightmapSize = 256;
// Locators stand at the ride height above the ground plane (the lowest static top, y 0).
constexpr float locatorHeight = 1.2f;
constexpr float lampHeight = 6.0f;
// The level keeps lit windows in a grid of 16 x 16 cells over the statics' box (the town's
// square) and shows at most six of a cell's, a random six when it holds more: so no cell gets
// more, and every window stays lit. The level puts each 0.15 in front of its locator.
constexpr int windowCells = 16;
constexpr int windowsPerCell = 6;
constexpr float windowOffset = 0.15f;
const char* const lightmapFolder = "texture/hi/lightmaps/level01/";

// Towards the sun: low in the south-west, so streets get long shadows.
const Vec3 sun = [] {
    const Vec3 d{0.45f, 0.75f, 0.48f};
    const float l = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    return d * (1.0f / l);
}();

struct Solid {
    Vec3 min, max;
};

// Whether the ray from p towards the sun hits a solid.
bool inShadow(Vec3 p, const std::vector<Solid>& solids) {
    for (const Solid& s : solids) {
        float t0 = 0.01f, t1 = 1e9f;
        const float o[3] = {p.x, p.y, p.z};
        const float d[3] = {sun.x, sun.y, sun.z};
        const float lo[3] = {s.min.x, s.min.y, s.min.z};
        const float hi[3] = {s.max.x, s.max.y, s.max.z};
        bool hit = true;
        for (int a = 0; a < 3 && hit; ++a) {
            if (std::fabs(d[a]) < 1e-6f) {
                hit = o[a] >= lo[a] && o[a] <= hi[a];
            } else {
                float ta = (lo[a] - o[a]) / d[a], tb = (hi[a] - o[a]) / d[a];
                if (ta > tb) {
                    std::swap(ta, tb);
                }
                t0 = std::max(t0, ta);
                t1 = std::min(t1, tb);
                hit = t0 <= t1;
            }
        }
        if (hit) {
            return true;
        }
    }
    return false;
}

// Darkening of the ground near walls: how close p is to the nearest solid's footprint.
float occlusion(Vec3 p, const std::vector<Solid>& solids) {
    float nearest = 1e9f;
    for (const Solid& s : solids) {
        const float dx = std::max({s.min.x - p.x, 0.0f, p.x - s.max.x});
        const float dz = std::max({s.min.z - p.z, 0.0f, p.z - s.max.z});
        nearest = std::min(nearest, std::hypot(dx, dz));
    }
    return 1.0f - 0.35f * std::exp(-nearest / 1.5f);
}

Argb light(float level) {
    const auto v = static_cast<unsigned>(std::clamp(level, 0.0f, 1.0f) * 255.0f + 0.5f);
    // Sunlight slightly warm, shade slightly blue.
    return argb(255, v, std::min(255u, v * 250 / 255 + 3), std::min(255u, v * 235 / 255 + 20));
}

float sunLight(Vec3 normal, Vec3 p, const std::vector<Solid>& others) {
    const float facing = normal.x * sun.x + normal.y * sun.y + normal.z * sun.z;
    if (facing <= 0.0f || inShadow(p, others)) {
        return 0.0f;
    }
    return facing;
}

D3DXMATRIX translation(float x, float y, float z) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

D3DXMATRIX turnedTo(float yaw, float x, float y, float z) {
    D3DXMATRIX r, t, m;
    D3DXMatrixRotationY(&r, yaw);
    D3DXMatrixTranslation(&t, x, y, z);
    D3DXMatrixMultiply(&m, &r, &t);
    return m;
}

// The lightmap of a building: cells of a 3 x 2 grid for the faces +x, -x, +z, -z, roof.
std::vector<UvRect> buildingCells() {
    std::vector<UvRect> cells;
    const float pad = 2.0f / lightmapSize;
    for (int i = 0; i < 6; ++i) {
        const float u0 = (i % 3) / 3.0f, v0 = (i / 3) / 2.0f;
        cells.push_back({u0 + pad, v0 + pad, u0 + 1.0f / 3.0f - pad, v0 + 0.5f - pad});
    }
    return cells;
}

const char* facadeTexture(Facade facade) {
    switch (facade) {
        case Facade::Brick:
            return tex::brick;
        case Facade::Plaster:
            return tex::plaster;
        default:
            return tex::glass;
    }
}

void writeLightmap(const ArtOutput& out, const std::string& name, const Image& image) {
    out.writeTexture(std::string("lightmaps/level01/") + name, image, artlib::DdsFormat::Dxt1);
}

class TownBuilder {
public:
    TownBuilder(const ArtOutput& out, const TownPlan& plan) : out_(out), plan_(plan) {
        for (const Building& b : plan.buildings) {
            solids_.push_back({{b.x0, 0, b.z0}, {b.x1, b.height, b.z1}});
        }
        const float t = TownPlan::wallThickness, h = TownPlan::wallHeight;
        walls_ = {
            {{TownPlan::minX, 0, TownPlan::minZ}, {TownPlan::maxX, h, TownPlan::minZ + t}},
            {{TownPlan::minX, 0, TownPlan::maxZ - t}, {TownPlan::maxX, h, TownPlan::maxZ}},
            {{TownPlan::minX, 0, TownPlan::minZ + t}, {TownPlan::minX + t, h, TownPlan::maxZ - t}},
            {{TownPlan::maxX - t, 0, TownPlan::minZ + t}, {TownPlan::maxX, h, TownPlan::maxZ - t}}};
        for (const Solid& w : walls_) {
            solids_.push_back(w);
        }
        level_.name = "final_level";
    }

    void build() {
        for (const Tile& tile : plan_.blocks) {
            addGround(tile);
        }
        for (std::size_t i = 0; i < plan_.buildings.size(); ++i) {
            addBuilding(i);
        }
        addWalls();
        addLamps();
        addRoutes();
        out_.write("levels/final_level.slev", artlib::levelFileBytes(level_));
        writeLightmap(out_, "--NOLIGHTMAP--", Image(4, 4, argb(255, 255, 255, 255)));
        out_.writePicture("level_top_view.png", topView());
    }

private:
    std::uint32_t nextId() { return ++id_; }

    void addStatic(const std::string& name, const std::string& mesh, const std::string& lightmap,
                   const D3DXMATRIX& transform, bool solid) {
        kesh::data::StaticObject s;
        s.id = nextId();
        s.name = name;
        s.mesh = mesh;
        if (!lightmap.empty()) {
            s.lightmaps.push_back(lightmap);
        }
        s.transform = transform;
        s.flags = solid ? kesh::data::StaticObject::solidFlag : 0;
        level_.statics.push_back(s);
    }

    void addEffect(const std::string& name, const std::string& effect,
                   const D3DXMATRIX& transform) {
        kesh::data::EffectObject e;
        e.id = nextId();
        e.name = name;
        e.effect = effect;
        e.transform = transform;
        e.flags = kesh::data::EffectObject::enabledFlag;
        level_.effects.push_back(e);
    }

    // A flat rectangle of the tile (local coordinates), its texture aligned to the world.
    void flat(MeshBuilder& mesh, const Tile& tile, float x0, float z0, float x1, float z1,
              int material, float repeat) {
        const float h = TownPlan::tileSize * 0.5f;
        const float cx = tile.x0 + h, cz = tile.z0 + h;
        flatMapped(mesh, x0, z0, x1, z1, material, [&](float x, float z) {
            return Uv{(x + cx) / repeat, (z + cz) / repeat};
        });
    }

    // As flat, with the texture coordinates of each local point given.
    template <class Mapping>
    void flatMapped(MeshBuilder& mesh, float x0, float z0, float x1, float z1, int material,
                    Mapping uv) {
        const float h = TownPlan::tileSize * 0.5f;
        auto lm = [&](float x, float z) {
            return Uv{(x + h) / TownPlan::tileSize, (z + h) / TownPlan::tileSize};
        };
        mesh.quad({Vec3{x0, 0, z0}, Vec3{x1, 0, z0}, Vec3{x1, 0, z1}, Vec3{x0, 0, z1}}, {0, 1, 0},
                  {uv(x0, z0), uv(x1, z0), uv(x1, z1), uv(x0, z1)},
                  {lm(x0, z0), lm(x1, z0), lm(x1, z1), lm(x0, z1)}, material);
    }

    void addGround(const Tile& tile) {
        MeshBuilder mesh;
        const int asphalt = mesh.material(tex::asphalt);
        const int road = mesh.material(tex::street);
        const int pavement = mesh.material(tex::pavement);
        const int grass = mesh.material(tex::grass);
        const float h = TownPlan::tileSize * 0.5f;
        const float s = TownPlan::street;
        // Streets round the block: the street texture's v runs from the tile's edge (the
        // middle of the street, with its dashed line) to the kerb; u along the street.
        const float cx = tile.x0 + h, cz = tile.z0 + h;
        const float dash = 8.0f;
        flatMapped(mesh, -h, -h, h, -h + s, road, [&](float x, float z) {
            return Uv{(x + cx) / dash, (z + h) / s};
        });
        flatMapped(mesh, -h, h - s, h, h, road, [&](float x, float z) {
            return Uv{(x + cx) / dash, (h - z) / s};
        });
        flatMapped(mesh, -h, -h + s, -h + s, h - s, road, [&](float x, float z) {
            return Uv{(z + cz) / dash, (x + h) / s};
        });
        flatMapped(mesh, h - s, -h + s, h, h - s, road, [&](float x, float z) {
            return Uv{(z + cz) / dash, (h - x) / s};
        });
        if (tile.park) {
            const float r = 4.0f;
            const float a = -h + s, b = h - s;
            flat(mesh, tile, a, a, b, a + r, pavement, 4.0f);
            flat(mesh, tile, a, b - r, b, b, pavement, 4.0f);
            flat(mesh, tile, a, a + r, a + r, b - r, pavement, 4.0f);
            flat(mesh, tile, b - r, a + r, b, b - r, pavement, 4.0f);
            flat(mesh, tile, a + r, a + r, b - r, b - r, grass, 8.0f);
        } else {
            flat(mesh, tile, -h + s, -h + s, h - s, h - s, pavement, 4.0f);
        }
        // Edges down to the box's floor, seen where the town ends.
        const UvRect none{};
        mesh.box({-h, -1.0f, -h}, {h, 0.0f, h}, asphalt, {8.0f, 1.0f},
                 {none, none, none, none, none, none}, 0x0f);
        out_.write("mesh/" + tile.name + ".wfm",
                   artlib::meshFileBytes(mesh.finish({{{-h, -1.0f, -h}, {h, 0.0f, h}}})));

        Image lightmap(groundLightmapSize, groundLightmapSize);
        for (int py = 0; py < lightmap.height; ++py) {
            for (int px = 0; px < lightmap.width; ++px) {
                const Vec3 p{tile.x0 + (px + 0.5f) / lightmap.width * TownPlan::tileSize, 0.0f,
                             tile.z0 + (py + 0.5f) / lightmap.height * TownPlan::tileSize};
                const float direct = sunLight({0, 1, 0}, p, solids_);
                lightmap.at(px, py) = light((0.5f + 0.5f * direct) * occlusion(p, solids_));
            }
        }
        writeLightmap(out_, tile.name, lightmap);
        addStatic(tile.name, tile.name, tile.name, translation(tile.x0 + h, 0.0f, tile.z0 + h),
                  false);
    }

    void addBuilding(std::size_t index) {
        const Building& b = plan_.buildings[index];
        const float hw = (b.x1 - b.x0) * 0.5f, hd = (b.z1 - b.z0) * 0.5f;
        const float cx = (b.x0 + b.x1) * 0.5f, cz = (b.z0 + b.z1) * 0.5f;
        const std::vector<UvRect> cells = buildingCells();
        MeshBuilder mesh;
        const int facade = mesh.material(facadeTexture(b.facade));
        mesh.box({-hw, 0, -hd}, {hw, b.height, hd}, facade, {8.0f, 6.0f}, cells, 0x0f);
        const int roof = mesh.material(tex::roof);
        mesh.box({-hw, 0, -hd}, {hw, b.height, hd}, roof, {8.0f, 8.0f}, cells, 0x10);
        // A parapet round the roof: part of the picture, not of the solid.
        const float p = 0.4f;
        mesh.box({-hw, b.height, -hd}, {hw, b.height + 0.6f, -hd + p}, roof, {8.0f, 8.0f}, {},
                 0x1f);
        mesh.box({-hw, b.height, hd - p}, {hw, b.height + 0.6f, hd}, roof, {8.0f, 8.0f}, {}, 0x1f);
        mesh.box({-hw, b.height, -hd + p}, {-hw + p, b.height + 0.6f, hd - p}, roof, {8.0f, 8.0f},
                 {}, 0x1f);
        mesh.box({hw - p, b.height, -hd + p}, {hw, b.height + 0.6f, hd - p}, roof, {8.0f, 8.0f}, {},
                 0x1f);
        // Box 0 the whole building, box 1 its solid (both centred on z, as the collision
        // boxes' placement requires no z offset).
        out_.write("mesh/" + b.name + ".wfm",
                   artlib::meshFileBytes(mesh.finish({{{-hw, 0, -hd}, {hw, b.height + 0.6f, hd}},
                                                      {{-hw, 0, -hd}, {hw, b.height, hd}}})));

        std::vector<Solid> others = solids_;
        others.erase(others.begin() + static_cast<long>(index));
        writeLightmap(out_, b.name, buildingLightmap(b, cells, others));
        addStatic(b.name, b.name, b.name, translation(cx, 0.0f, cz), true);
        addWindows(b, index);
        if (b.height >= 30.0f) {
            addEffect(b.name + "_beacon", "beacon", translation(cx, b.height + 0.5f, cz));
        }
    }

    Image buildingLightmap(const Building& b, const std::vector<UvRect>& cells,
                           const std::vector<Solid>& others) const {
        Image image(lightmapSize, lightmapSize, argb(255, 200, 200, 200));
        const Vec3 normals[5] = {{1, 0, 0}, {-1, 0, 0}, {0, 0, 1}, {0, 0, -1}, {0, 1, 0}};
        for (int face = 0; face < 5; ++face) {
            const UvRect& c = cells[face];
            const int x0 = static_cast<int>((c.u0 * lightmapSize)) - 2;
            const int x1 = static_cast<int>((c.u1 * lightmapSize)) + 2;
            const int y0 = static_cast<int>((c.v0 * lightmapSize)) - 2;
            const int y1 = static_cast<int>((c.v1 * lightmapSize)) + 2;
            for (int py = std::max(0, y0); py < std::min(lightmapSize, y1); ++py) {
                for (int px = std::max(0, x0); px < std::min(lightmapSize, x1); ++px) {
                    const float s =
                        std::clamp(((px + 0.5f) / lightmapSize - c.u0) / (c.u1 - c.u0), 0.0f, 1.0f);
                    const float t =
                        std::clamp(((py + 0.5f) / lightmapSize - c.v0) / (c.v1 - c.v0), 0.0f, 1.0f);
                    const Vec3 p = facePoint(b, face, s, t);
                    float level = 0.55f + 0.45f * sunLight(normals[face], p, others);
                    if (face < 4) {
                        // Darker towards the street, where the walls meet the ground.
                        level *= 1.0f - 0.3f * std::exp(-p.y / 2.0f);
                    }
                    image.at(px, py) = light(level);
                }
            }
        }
        return image;
    }

    // The world point of a face at (s across, t down) as the box maps its lightmap cells.
    static Vec3 facePoint(const Building& b, int face, float s, float t) {
        const float y = b.height * (1.0f - t);
        const float e = 0.02f;  // off the wall, so it does not shadow itself
        switch (face) {
            case 0:
                return {b.x1 + e, y, b.z0 + (b.z1 - b.z0) * s};
            case 1:
                return {b.x0 - e, y, b.z1 - (b.z1 - b.z0) * s};
            case 2:
                return {b.x1 - (b.x1 - b.x0) * s, y, b.z1 + e};
            case 3:
                return {b.x0 + (b.x1 - b.x0) * s, y, b.z0 - e};
            default:
                return {b.x0 + (b.x1 - b.x0) * s, b.height + e, b.z1 - (b.z1 - b.z0) * t};
        }
    }

    // Lit windows ("win..." effects, kept in the cells): on the facade's window grid, bays
    // of 4 units from each wall's left corner, storeys of 3 from the top.
    void addWindows(const Building& b, std::size_t index) {
        struct Wall {
            Vec3 start;
            Vec3 along;
            float length;
            float yaw;  // turns the locator's z out of the wall
        };
        const Wall walls[4] = {
            {{b.x1, 0, b.z0}, {0, 0, 1}, b.z1 - b.z0, pi * 0.5f},
            {{b.x0, 0, b.z1}, {0, 0, -1}, b.z1 - b.z0, -pi * 0.5f},
            {{b.x1, 0, b.z1}, {-1, 0, 0}, b.x1 - b.x0, 0.0f},
            {{b.x0, 0, b.z0}, {1, 0, 0}, b.x1 - b.x0, pi},
        };
        const int storeys = static_cast<int>(b.height / 3.0f + 0.5f);
        int count = 0;
        for (int w = 0; w < 4; ++w) {
            const Wall& wall = walls[w];
            const int bays = static_cast<int>(wall.length / 4.0f);
            for (int bay = 0; bay < bays; ++bay) {
                for (int storey = 0; storey < storeys; ++storey) {
                    if (hashUnit(static_cast<int>(index) * 8 + w, bay * 64 + storey, 77) > 0.06f) {
                        continue;
                    }
                    const Vec3 at = wall.start + wall.along * (2.0f + 4.0f * bay);
                    int& inCell = windowsInCell_[windowCell(at, wall.yaw)];
                    if (inCell == windowsPerCell) {
                        continue;
                    }
                    ++inCell;
                    const float y = b.height - (storey + 0.48f) * 3.0f;
                    const bool warm =
                        hashUnit(bay, storey, static_cast<std::uint32_t>(index)) > 0.5f;
                    addEffect(b.name + "_window" + std::to_string(count++),
                              warm ? "window_glow_warm" : "window_glow",
                              turnedTo(wall.yaw, at.x, y, at.z));
                }
            }
        }
    }

    // The level's cell of a window on a wall turned by yaw, as the level computes it.
    static int windowCell(const Vec3& at, float yaw) {
        const float cell = TownPlan::size / static_cast<float>(windowCells);
        const float x = at.x + windowOffset * std::sin(yaw);
        const float z = at.z + windowOffset * std::cos(yaw);
        const auto index = [cell](float v, float origin) {
            const int i = static_cast<int>(std::floor((v - origin) / cell));
            return std::clamp(i, 0, windowCells - 1);
        };
        return index(z, TownPlan::minZ) * windowCells + index(x, TownPlan::minX);
    }

    void addWalls() {
        const float t = TownPlan::wallThickness, h = TownPlan::wallHeight;
        const float half = TownPlan::size * 0.5f;
        MeshBuilder along;
        along.box({-half, 0, -t * 0.5f}, {half, h, t * 0.5f}, along.material(tex::stone),
                  {4.0f, 4.0f});
        out_.write("mesh/wall_x.wfm",
                   artlib::meshFileBytes(along.finish({along.bounds(), along.bounds()})));
        MeshBuilder across;
        const float inner = half - t;
        across.box({-t * 0.5f, 0, -inner}, {t * 0.5f, h, inner}, across.material(tex::stone),
                   {4.0f, 4.0f});
        out_.write("mesh/wall_z.wfm",
                   artlib::meshFileBytes(across.finish({across.bounds(), across.bounds()})));
        const float cx = TownPlan::minX + half, cz = TownPlan::minZ + half;
        // No lightmaps: they use the white "--NOLIGHTMAP--".
        addStatic("wall_south", "wall_x", "", translation(cx, 0, TownPlan::minZ + t * 0.5f), true);
        addStatic("wall_north", "wall_x", "", translation(cx, 0, TownPlan::maxZ - t * 0.5f), true);
        addStatic("wall_west", "wall_z", "", translation(TownPlan::minX + t * 0.5f, 0, cz), true);
        addStatic("wall_east", "wall_z", "", translation(TownPlan::maxX - t * 0.5f, 0, cz), true);
    }

    void addLamps() {
        int count = 0;
        for (const Point& lamp : plan_.lamps) {
            addEffect("lamp" + std::to_string(count++), "street_lamp",
                      translation(lamp.x, lampHeight, lamp.z));
        }
    }

    void addRoutes() {
        // Starts first, then ends: they pair by their order among their own kind.
        int n = 0;
        for (const Route& route : plan_.routes) {
            kesh::data::LocatorObject start;
            start.id = nextId();
            start.name = "start" + std::to_string(++n);
            start.tag = "start";
            start.transform = turnedTo(route.heading, route.start.x, locatorHeight, route.start.z);
            level_.locators.push_back(start);
        }
        n = 0;
        for (const Route& route : plan_.routes) {
            kesh::data::LocatorObject end;
            end.id = nextId();
            end.name = "end" + std::to_string(++n);
            end.tag = "end";
            end.transform = translation(route.end.x, locatorHeight, route.end.z);
            level_.locators.push_back(end);
        }
    }

    // The level from above, x to the right and z up, with its lights, starts and ends.
    Image topView() const {
        const int size = 800;
        const float scale = size / TownPlan::size;
        Image image(size, size, argb(255, 90, 90, 95));
        auto px = [&](float x) { return (x - TownPlan::minX) * scale; };
        auto py = [&](float z) { return (TownPlan::maxZ - z) * scale; };
        for (const Tile& tile : plan_.blocks) {
            const float s = TownPlan::street;
            fillRect(image, px(tile.x0 + s), py(tile.z0 + TownPlan::tileSize - s),
                     px(tile.x0 + TownPlan::tileSize - s), py(tile.z0 + s),
                     tile.park ? argb(255, 90, 140, 60) : argb(255, 180, 178, 170));
        }
        for (const Solid& w : walls_) {
            fillRect(image, px(w.min.x), py(w.max.z), px(w.max.x), py(w.min.z),
                     argb(255, 140, 130, 110));
        }
        for (const Building& b : plan_.buildings) {
            const float shade = 0.5f + b.height / 90.0f;
            fillRect(image, px(b.x0), py(b.z1), px(b.x1), py(b.z0),
                     scaleRgb(argb(255, 170, 110, 90), shade));
        }
        for (const kesh::data::EffectObject& e : level_.effects) {
            const Argb c = e.effect == "street_lamp" ? argb(255, 255, 220, 120)
                           : e.effect == "beacon"    ? argb(255, 255, 60, 40)
                                                     : argb(255, 140, 200, 255);
            fillCircle(image, px(e.transform._41), py(e.transform._43), 2.0f, c);
        }
        const Argb routeColours[] = {argb(255, 60, 220, 60), argb(255, 60, 160, 255),
                                     argb(255, 240, 80, 240)};
        for (std::size_t i = 0; i < plan_.routes.size(); ++i) {
            const Route& r = plan_.routes[i];
            const Argb c = routeColours[i % 3];
            drawLine(image, px(r.start.x), py(r.start.z), px(r.end.x), py(r.end.z), 1.5f,
                     withAlpha(c, 120));
            fillCircle(image, px(r.start.x), py(r.start.z), 6.0f, c);
            strokeCircle(image, px(r.end.x), py(r.end.z), 7.0f, 3.0f, c);
        }
        return image;
    }

    const ArtOutput& out_;
    const TownPlan& plan_;
    std::vector<Solid> solids_;
    std::vector<Solid> walls_;
    LevelData level_;
    std::map<int, int> windowsInCell_;
    std::uint32_t id_ = 0;
};

}  // namespace

void makeTown(const ArtOutput& out, const TownPlan& plan) {
    TownBuilder builder(out, plan);
    builder.build();
}

}  // namespace arttool
