// Builds mesh records face by face: quads and boxes with their normals, texture and
// lightmap coordinates and materials, wound so that the side the normal points to is the
// front for the effects' culling.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/render/mesh/mesh_records.h"

namespace arttool {

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}

struct Uv {
    float u = 0, v = 0;
};

// A rectangle of texture space: corner (u0, v0) and (u1, v1).
struct UvRect {
    float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
};

class MeshBuilder {
public:
    // The material's index; `texture` is a name below "texture/hi/" without extension.
    int material(const std::string& texture);

    // Corners in order round the quad; the winding is set from the normal. uv and
    // lightmap coordinates go with the corners.
    void quad(const std::array<Vec3, 4>& corners, Vec3 normal, const std::array<Uv, 4>& uv,
              const std::array<Uv, 4>& lightmap, int material);
    void triangle(const std::array<Vec3, 3>& corners, Vec3 normal, const std::array<Uv, 3>& uv,
                  int material);

    // An axis-aligned box. Walls get texture coordinates at `unitsPerRepeat` (x across, y
    // up, v downwards from the top), lightmap coordinates from `lightmapCells` (faces +x,
    // -x, +z, -z, top, bottom; an empty list gives none). Faces not in `faces` (bit per
    // face in that order) are left out.
    void box(Vec3 min, Vec3 max, int material, Uv unitsPerRepeat,
             const std::vector<UvRect>& lightmapCells = {}, unsigned faces = 0x3f);

    // An axis-aligned box whose faces (+x, -x, +z, -z, top, bottom) each show their own
    // rectangle of the texture, seen upright from outside (top face: +z at the top).
    void mappedBox(Vec3 min, Vec3 max, int material, const std::array<UvRect, 6>& faces);

    // Sets the part boxes (the first the whole mesh) and returns the records.
    maya_common::data::tri_mesh finish(const std::vector<std::pair<Vec3, Vec3>>& boxes);

    // The box of every position so far.
    std::pair<Vec3, Vec3> bounds() const;

private:
    // One quad, or with triangleOnly its first three corners.
    void addFaces(const std::array<Vec3, 4>& corners, Vec3 normal, const std::array<Uv, 4>& uv,
                  const std::array<Uv, 4>& lightmap, int material, bool triangleOnly);
    std::uint32_t addUv(std::vector<float>& values, Uv uv);

    maya_common::data::tri_mesh mesh_;
    std::vector<float> uv0_;
    std::vector<float> uv1_;
    std::vector<maya_common::data::tri_index> uvTris0_;
    std::vector<maya_common::data::tri_index> uvTris1_;
};

}  // namespace arttool
