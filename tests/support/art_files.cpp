#include "tests/support/art_files.h"

#include <cstring>

namespace morvale_testing {
namespace {

void put(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    std::memcpy(bytes.data() + offset, &value, 4);
}

}  // namespace

std::vector<std::uint8_t> ddsFile(UINT width, UINT height, const std::vector<D3DCOLOR>& texels) {
    constexpr std::size_t kHeader = 4;        // after the magic word
    constexpr std::size_t kPixelFormat = 76;  // header + 72
    std::vector<std::uint8_t> bytes(128 + 4u * width * height);
    put(bytes, 0, 0x20534444);  // "DDS "
    put(bytes, kHeader, 124);
    put(bytes, kHeader + 4, 0x1 | 0x2 | 0x4 | 0x8 | 0x1000);  // caps, height, width, pitch, format
    put(bytes, kHeader + 8, height);
    put(bytes, kHeader + 12, width);
    put(bytes, kHeader + 16, 4 * width);
    put(bytes, kPixelFormat, 32);
    put(bytes, kPixelFormat + 4, 0x40 | 0x1);  // RGB with alpha
    put(bytes, kPixelFormat + 12, 32);
    put(bytes, kPixelFormat + 16, 0x00FF0000);
    put(bytes, kPixelFormat + 20, 0x0000FF00);
    put(bytes, kPixelFormat + 24, 0x000000FF);
    put(bytes, kPixelFormat + 28, 0xFF000000);
    put(bytes, kHeader + 104, 0x1000);  // a plain texture
    for (std::size_t texel = 0; texel < std::size_t(width) * height; ++texel) {
        put(bytes, 128 + 4 * texel, texels.at(texel));
    }
    return bytes;
}

std::vector<std::uint8_t> solidDds(UINT width, UINT height, D3DCOLOR argb) {
    return ddsFile(width, height, std::vector<D3DCOLOR>(std::size_t(width) * height, argb));
}

maya_common::data::tri_mesh squareRecords(float half, float z, const std::string& materialName) {
    maya_common::data::tri_mesh mesh;
    // Corners counter-clockwise from the bottom left, seen from the origin (+y up, +x right).
    mesh.positions = {{-half, -half, z}, {half, -half, z}, {half, half, z}, {-half, half, z}};
    mesh.normals = {{0.0f, 0.0f, -1.0f}};
    maya_common::data::uv_set uv;
    uv.dim = 2;
    uv.values = {0, 1, 1, 1, 1, 0, 0, 0};
    uv.name = "map1";
    maya_common::data::uv_set lightmap;
    lightmap.dim = 2;
    lightmap.values = {0.125f, 0.5f};
    lightmap.name = "lightmap";
    mesh.uv_sets = {uv, lightmap};
    mesh.position_tris = {{0, 1, 2}, {0, 2, 3}};
    mesh.normal_tris = {{0, 0, 0}, {0, 0, 0}};
    mesh.uv_tris = {mesh.position_tris, {{0, 0, 0}, {0, 0, 0}}};
    mesh.face_materials = {0, 0};
    mesh.materials.materials = {{materialName}};
    mesh.bboxes = {{-half, -half, z, half, half, z}};
    return mesh;
}

}  // namespace morvale_testing
