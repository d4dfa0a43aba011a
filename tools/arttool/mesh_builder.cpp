#include "tools/arttool/mesh_builder.h"

#include <algorithm>

namespace arttool {

namespace {

using maya_common::data::tri_index;
using maya_common::data::vector3;

Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

}  // namespace

int MeshBuilder::material(const std::string& texture) {
    auto& materials = mesh_.materials.materials;
    const std::string name = texture + ".tga";
    for (std::size_t i = 0; i < materials.size(); ++i) {
        if (materials[i].name == name) {
            return static_cast<int>(i);
        }
    }
    materials.push_back({name});
    return static_cast<int>(materials.size() - 1);
}

std::uint32_t MeshBuilder::addUv(std::vector<float>& values, Uv uv) {
    values.push_back(uv.u);
    values.push_back(uv.v);
    return static_cast<std::uint32_t>(values.size() / 2 - 1);
}

void MeshBuilder::triangle(const std::array<Vec3, 3>& corners, Vec3 normal,
                           const std::array<Uv, 3>& uv, int material) {
    addFaces({corners[0], corners[1], corners[2], corners[2]}, normal, {uv[0], uv[1], uv[2], uv[2]},
             {Uv{}, Uv{}, Uv{}, Uv{}}, material, true);
}

void MeshBuilder::quad(const std::array<Vec3, 4>& corners, Vec3 normal, const std::array<Uv, 4>& uv,
                       const std::array<Uv, 4>& lightmap, int material) {
    addFaces(corners, normal, uv, lightmap, material, false);
}

void MeshBuilder::addFaces(const std::array<Vec3, 4>& corners, Vec3 normal,
                           const std::array<Uv, 4>& uv, const std::array<Uv, 4>& lightmap,
                           int material, bool triangleOnly) {
    const auto base = static_cast<std::uint32_t>(mesh_.positions.size());
    for (const Vec3& c : corners) {
        mesh_.positions.push_back({c.x, c.y, c.z});
    }
    mesh_.normals.push_back({normal.x, normal.y, normal.z});
    const auto n = static_cast<std::uint32_t>(mesh_.normals.size() - 1);
    std::array<std::uint32_t, 4> t0{}, t1{};
    for (int i = 0; i < 4; ++i) {
        t0[i] = addUv(uv0_, uv[i]);
        t1[i] = addUv(uv1_, lightmap[i]);
    }
    // Front faces turn counter-clockwise as the viewer sees them, which in these
    // left-handed coordinates puts the corners' cross product against the normal.
    const bool flip = dot(cross(corners[1] - corners[0], corners[2] - corners[0]), normal) > 0.0f;
    auto add = [&](int a, int b, int c) {
        if (flip) {
            std::swap(b, c);
        }
        mesh_.position_tris.push_back({base + a, base + b, base + c});
        mesh_.normal_tris.push_back({n, n, n});
        uvTris0_.push_back({t0[a], t0[b], t0[c]});
        uvTris1_.push_back({t1[a], t1[b], t1[c]});
        mesh_.face_materials.push_back(material);
    };
    add(0, 1, 2);
    if (!triangleOnly) {
        add(0, 2, 3);
    }
}

void MeshBuilder::box(Vec3 min, Vec3 max, int material, Uv unitsPerRepeat,
                      const std::vector<UvRect>& lightmapCells, unsigned faces) {
    const float ru = unitsPerRepeat.u, rv = unitsPerRepeat.v;
    auto cell = [&](int face, float s, float t) {
        if (lightmapCells.empty()) {
            return Uv{0.5f, 0.5f};
        }
        const UvRect& r = lightmapCells[face];
        return Uv{r.u0 + (r.u1 - r.u0) * s, r.v0 + (r.v1 - r.v0) * t};
    };
    // Each wall: corners top-left, top-right, bottom-right, bottom-left seen from outside.
    struct Wall {
        Vec3 corners[4];
        Vec3 normal;
        float width;
    };
    const float h = max.y - min.y;
    const Wall walls[4] = {
        {{{max.x, max.y, min.z},
          {max.x, max.y, max.z},
          {max.x, min.y, max.z},
          {max.x, min.y, min.z}},
         {1, 0, 0},
         max.z - min.z},
        {{{min.x, max.y, max.z},
          {min.x, max.y, min.z},
          {min.x, min.y, min.z},
          {min.x, min.y, max.z}},
         {-1, 0, 0},
         max.z - min.z},
        {{{max.x, max.y, max.z},
          {min.x, max.y, max.z},
          {min.x, min.y, max.z},
          {max.x, min.y, max.z}},
         {0, 0, 1},
         max.x - min.x},
        {{{min.x, max.y, min.z},
          {max.x, max.y, min.z},
          {max.x, min.y, min.z},
          {min.x, min.y, min.z}},
         {0, 0, -1},
         max.x - min.x},
    };
    for (int f = 0; f < 4; ++f) {
        if ((faces & (1u << f)) == 0) {
            continue;
        }
        const Wall& w = walls[f];
        const float u1 = w.width / ru;
        const float v1 = h / rv;
        quad({w.corners[0], w.corners[1], w.corners[2], w.corners[3]}, w.normal,
             {Uv{0, 0}, Uv{u1, 0}, Uv{u1, v1}, Uv{0, v1}},
             {cell(f, 0, 0), cell(f, 1, 0), cell(f, 1, 1), cell(f, 0, 1)}, material);
    }
    if ((faces & 0x10u) != 0) {
        const float u1 = (max.x - min.x) / ru;
        const float v1 = (max.z - min.z) / ru;
        quad({Vec3{min.x, max.y, max.z}, Vec3{max.x, max.y, max.z}, Vec3{max.x, max.y, min.z},
              Vec3{min.x, max.y, min.z}},
             {0, 1, 0}, {Uv{0, 0}, Uv{u1, 0}, Uv{u1, v1}, Uv{0, v1}},
             {cell(4, 0, 1), cell(4, 1, 1), cell(4, 1, 0), cell(4, 0, 0)}, material);
    }
    if ((faces & 0x20u) != 0) {
        quad({Vec3{min.x, min.y, min.z}, Vec3{max.x, min.y, min.z}, Vec3{max.x, min.y, max.z},
              Vec3{min.x, min.y, max.z}},
             {0, -1, 0}, {Uv{0, 0}, Uv{1, 0}, Uv{1, 1}, Uv{0, 1}},
             {cell(5, 0, 0), cell(5, 1, 0), cell(5, 1, 1), cell(5, 0, 1)}, material);
    }
}

void MeshBuilder::mappedBox(Vec3 min, Vec3 max, int material, const std::array<UvRect, 6>& faces) {
    const Vec3 c[8] = {{min.x, min.y, min.z}, {max.x, min.y, min.z}, {max.x, max.y, min.z},
                       {min.x, max.y, min.z}, {min.x, min.y, max.z}, {max.x, min.y, max.z},
                       {max.x, max.y, max.z}, {min.x, max.y, max.z}};
    // Corners top-left, top-right, bottom-right, bottom-left as seen from outside.
    const int corners[6][4] = {{2, 6, 5, 1}, {7, 3, 0, 4}, {6, 7, 4, 5},
                               {3, 2, 1, 0}, {7, 6, 2, 3}, {0, 1, 5, 4}};
    const Vec3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 0, 1}, {0, 0, -1}, {0, 1, 0}, {0, -1, 0}};
    for (int f = 0; f < 6; ++f) {
        const UvRect& r = faces[f];
        quad({c[corners[f][0]], c[corners[f][1]], c[corners[f][2]], c[corners[f][3]]}, normals[f],
             {Uv{r.u0, r.v0}, Uv{r.u1, r.v0}, Uv{r.u1, r.v1}, Uv{r.u0, r.v1}},
             {Uv{}, Uv{}, Uv{}, Uv{}}, material);
    }
}

std::pair<Vec3, Vec3> MeshBuilder::bounds() const {
    Vec3 lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
    for (const vector3& p : mesh_.positions) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    return {lo, hi};
}

maya_common::data::tri_mesh MeshBuilder::finish(const std::vector<std::pair<Vec3, Vec3>>& boxes) {
    maya_common::data::tri_mesh out = mesh_;
    maya_common::data::uv_set diffuse;
    diffuse.dim = 2;
    diffuse.values = uv0_;
    diffuse.name = "map1";
    maya_common::data::uv_set light;
    light.dim = 2;
    light.values = uv1_;
    light.name = "lightmap";
    out.uv_sets = {diffuse, light};
    out.uv_tris = {uvTris0_, uvTris1_};
    for (const auto& [lo, hi] : boxes) {
        out.bboxes.push_back({lo.x, lo.y, lo.z, hi.x, hi.y, hi.z});
    }
    return out;
}

}  // namespace arttool
