// .x files written by the test, loaded through D3DXLoadMeshFromXA: the file's own data
// (no axis or winding flip), a cube welded to 24 vertices, materials and their textures.
#include <d3dx9.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>
#include <vector>

#include "tests/d3dx9_mesh/x_loader_fixture.h"

namespace {

// A box from (-1, 0, 0) to (1, 2, 3): not symmetric in z, so a mirrored load shows.
D3DXVECTOR3 corner(int i) {
    return D3DXVECTOR3((i & 1) ? 1.0f : -1.0f, (i & 2) ? 2.0f : 0.0f, (i & 4) ? 3.0f : 0.0f);
}

struct FileFace {
    std::array<int, 3> corners;
    int normal;
    int material;
};

// Two clockwise-from-outside triangles per side; the first two sides use material 1.
std::vector<FileFace> cubeFaces() {
    std::vector<FileFace> faces;
    const D3DXVECTOR3 centre(0.0f, 1.0f, 1.5f);
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = 0; side < 2; ++side) {
            std::vector<int> quad;
            for (int i = 0; i < 8; ++i) {
                if (((i >> axis) & 1) == side) {
                    quad.push_back(i);
                }
            }
            // Around the side: 0, 1, 3, 2 of the four corners in bit order.
            const int ring[4] = {quad[0], quad[1], quad[3], quad[2]};
            const int normal = axis * 2 + side;
            for (int t = 0; t < 2; ++t) {
                std::array<int, 3> c = {ring[0], ring[1 + t], ring[2 + t]};
                D3DXVECTOR3 ab = corner(c[1]) - corner(c[0]);
                D3DXVECTOR3 ac = corner(c[2]) - corner(c[0]);
                D3DXVECTOR3 cross;
                D3DXVec3Cross(&cross, &ab, &ac);
                D3DXVECTOR3 out = corner(c[0]) - centre;
                if (D3DXVec3Dot(&cross, &out) < 0) {
                    std::swap(c[1], c[2]);
                }
                faces.push_back({c, normal, faces.size() < 4 ? 1 : 0});
            }
        }
    }
    return faces;
}

D3DXVECTOR3 sideNormal(int normal) {
    D3DXVECTOR3 n(0, 0, 0);
    (&n.x)[normal / 2] = (normal % 2) ? 1.0f : -1.0f;
    return n;
}

float cornerU(int i) {
    return (i & 1) ? 1.0f : 0.0f;
}
float cornerV(int i) {
    return (i & 2) ? 0.25f : 0.75f;
}

std::string cubeFile() {
    const auto faces = cubeFaces();
    std::ostringstream x;
    x << "xof 0303txt 0032\n\nMesh Cube {\n 8;\n";
    for (int i = 0; i < 8; ++i) {
        const D3DXVECTOR3 p = corner(i);
        x << " " << p.x << ";" << p.y << ";" << p.z << ";" << (i < 7 ? "," : ";") << "\n";
    }
    x << " 12;\n";
    for (size_t f = 0; f < faces.size(); ++f) {
        const auto& c = faces[f].corners;
        x << " 3;" << c[0] << "," << c[1] << "," << c[2] << ";" << (f < 11 ? "," : ";") << "\n";
    }
    x << " MeshNormals {\n  6;\n";
    for (int n = 0; n < 6; ++n) {
        const D3DXVECTOR3 v = sideNormal(n);
        x << "  " << v.x << ";" << v.y << ";" << v.z << ";" << (n < 5 ? "," : ";") << "\n";
    }
    x << "  12;\n";
    for (size_t f = 0; f < faces.size(); ++f) {
        const int n = faces[f].normal;
        x << "  3;" << n << "," << n << "," << n << ";" << (f < 11 ? "," : ";") << "\n";
    }
    x << " }\n MeshTextureCoords {\n  8;\n";
    for (int i = 0; i < 8; ++i) {
        x << "  " << cornerU(i) << ";" << cornerV(i) << ";" << (i < 7 ? "," : ";") << "\n";
    }
    x << " }\n MeshMaterialList {\n  2;\n  12;\n";
    for (size_t f = 0; f < faces.size(); ++f) {
        x << "  " << faces[f].material << (f < 11 ? ",\n" : ";\n");
    }
    x << "  Material Crate {\n   1.0;0.5;0.25;1.0;;\n   8.0;\n   1.0;1.0;1.0;;\n"
         "   0.0;0.0;0.0;;\n   TextureFilename {\n    \"crate.dds\";\n   }\n  }\n"
         "  Material Plain {\n   0.5;0.5;0.5;1.0;;\n   0.0;\n   0.0;0.0;0.0;;\n"
         "   0.0;0.0;0.0;;\n  }\n }\n}\n";
    return x.str();
}

struct LoadedVertex {
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
    float u, v;
};

int cornerAt(const D3DXVECTOR3& p) {
    for (int i = 0; i < 8; ++i) {
        const D3DXVECTOR3 c = corner(i);
        if (std::abs(c.x - p.x) < 1e-5f && std::abs(c.y - p.y) < 1e-5f &&
            std::abs(c.z - p.z) < 1e-5f) {
            return i;
        }
    }
    return -1;
}

TEST_F(XLoaderTest, CubeKeepsTheFilesDataAndWeldsTo24Vertices) {
    write("Meshes/Cube.X", cubeFile());
    ASSERT_EQ(load(folder.path().string() + "\\meshes\\cube.x"), D3D_OK);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetNumVertices(), 24u);
    EXPECT_EQ(mesh->GetNumFaces(), 12u);
    EXPECT_EQ(mesh->GetFVF(), static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1));

    void* data = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
    const std::vector<LoadedVertex> vertices(static_cast<LoadedVertex*>(data),
                                             static_cast<LoadedVertex*>(data) + 24);
    mesh->UnlockVertexBuffer();
    ASSERT_EQ(mesh->LockIndexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
    const std::vector<WORD> indices(static_cast<WORD*>(data), static_cast<WORD*>(data) + 36);
    mesh->UnlockIndexBuffer();
    DWORD* attributes = nullptr;
    ASSERT_EQ(mesh->LockAttributeBuffer(0, &attributes), D3D_OK);
    const std::vector<DWORD> faceMaterials(attributes, attributes + 12);
    mesh->UnlockAttributeBuffer();

    for (const LoadedVertex& vertex : vertices) {
        const int c = cornerAt(vertex.position);
        ASSERT_GE(c, 0) << "a position the file does not have";
        EXPECT_FLOAT_EQ(vertex.u, cornerU(c));
        EXPECT_FLOAT_EQ(vertex.v, cornerV(c));
    }
    // Every face is one of the file's, corners in the file's cyclic order, with its normal
    // and material.
    const auto fileFaces = cubeFaces();
    for (int f = 0; f < 12; ++f) {
        std::array<int, 3> c;
        for (int k = 0; k < 3; ++k) {
            c[k] = cornerAt(vertices[indices[f * 3 + k]].position);
        }
        const auto match =
            std::find_if(fileFaces.begin(), fileFaces.end(), [&](const FileFace& ff) {
                for (int r = 0; r < 3; ++r) {
                    if (ff.corners[0] == c[r] && ff.corners[1] == c[(r + 1) % 3] &&
                        ff.corners[2] == c[(r + 2) % 3]) {
                        return true;
                    }
                }
                return false;
            });
        ASSERT_NE(match, fileFaces.end()) << "face " << f << " is not the file's";
        EXPECT_EQ(faceMaterials[f], static_cast<DWORD>(match->material));
        const D3DXVECTOR3 expected = sideNormal(match->normal);
        EXPECT_EQ(vertices[indices[f * 3]].normal, expected);
    }

    // Materials in file order with their texture names, one empty effect instance each.
    ASSERT_EQ(materialCount, 2u);
    ASSERT_GE(materials->GetBufferSize(), 2 * sizeof(D3DXMATERIAL));
    const auto* table = static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer());
    ASSERT_NE(table[0].pTextureFilename, nullptr);
    EXPECT_STREQ(table[0].pTextureFilename, "crate.dds");
    EXPECT_FLOAT_EQ(table[0].MatD3D.Diffuse.g, 0.5f);
    EXPECT_EQ(table[1].pTextureFilename, nullptr);
    ASSERT_EQ(instances->GetBufferSize(), 2 * sizeof(D3DXEFFECTINSTANCE));
    EXPECT_EQ(
        static_cast<const D3DXEFFECTINSTANCE*>(instances->GetBufferPointer())[1].pEffectFilename,
        nullptr);
    ASSERT_EQ(adjacency->GetBufferSize(), 12u * 3u * 4u);
}

TEST_F(XLoaderTest, OptimizedCubeHasOneRangePerMaterial) {
    ASSERT_EQ(load(write("cube.x", cubeFile())), D3D_OK);
    ASSERT_EQ(mesh->OptimizeInplace(D3DXMESHOPT_VERTEXCACHE,
                                    static_cast<DWORD*>(adjacency->GetBufferPointer()), nullptr,
                                    nullptr, nullptr),
              D3D_OK);
    DWORD count = 0;
    ASSERT_EQ(mesh->GetAttributeTable(nullptr, &count), D3D_OK);
    ASSERT_EQ(count, 2u);
    D3DXATTRIBUTERANGE ranges[2];
    ASSERT_EQ(mesh->GetAttributeTable(ranges, &count), D3D_OK);
    EXPECT_EQ(ranges[0].AttribId, 0u);
    EXPECT_EQ(ranges[0].FaceCount, 8u);
    EXPECT_EQ(ranges[1].AttribId, 1u);
    EXPECT_EQ(ranges[1].FaceStart, 8u);
    EXPECT_EQ(ranges[1].FaceCount, 4u);
    EXPECT_EQ(mesh->GetNumVertices(), 24u);

    record->clear();
    ASSERT_EQ(mesh->DrawSubset(1), D3D_OK);
    ASSERT_EQ(record->draws.size(), 1u);
    EXPECT_EQ(record->draws[0].startIndex, 24u);
    EXPECT_EQ(record->draws[0].primitiveCount, 4u);
    EXPECT_EQ(record->draws[0].stride, 32u);
}

TEST_F(XLoaderTest, MissingDamagedOrEmptyFilesFailWithoutAMesh) {
    EXPECT_EQ(load((folder.path() / "absent.x").string()), D3DERR_NOTFOUND);
    EXPECT_EQ(mesh, nullptr);

    const std::string text = cubeFile();
    for (size_t cut : {size_t{20}, text.size() / 3, text.size() / 2, text.size() - 40}) {
        EXPECT_TRUE(FAILED(load(write("cut.x", text.substr(0, cut))))) << "cut at " << cut;
        EXPECT_EQ(mesh, nullptr);
        EXPECT_EQ(materials, nullptr);
    }
    EXPECT_TRUE(FAILED(load(write("garbage.x", std::string("\x01\xFFnot a mesh", 13)))));
    EXPECT_TRUE(FAILED(load(write("empty.x", "xof 0303txt 0032\n"))));
    EXPECT_EQ(mesh, nullptr);
}

TEST_F(XLoaderTest, BitFlippedFilesLoadOrFailButNeverCrash) {
    const std::string text = cubeFile();
    for (size_t i = 0; i < text.size(); i += 11) {
        std::string damaged = text;
        damaged[i] = static_cast<char>(damaged[i] ^ 0x15);
        const HRESULT hr = load(write("flipped.x", damaged));
        if (SUCCEEDED(hr)) {
            ASSERT_NE(mesh, nullptr);
            record->clear();
            for (DWORD id = 0; id < materialCount; ++id) {
                EXPECT_EQ(mesh->DrawSubset(id), D3D_OK);
            }
        } else {
            EXPECT_EQ(mesh, nullptr) << "byte " << i;
        }
        releaseAll();
    }
}

TEST_F(XLoaderTest, DamagedCountsAreRefusedBeforeTheImporterSizesItsArrays) {
    const std::string text = cubeFile();
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string copy = text;
        const size_t at = copy.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return copy.replace(at, from.size(), to);
    };
    for (const auto& damaged :
         {replaced("{\n 8;", "{\n -1;"), replaced("{\n 8;", "{\n 4000000000;"),
          replaced(" 12;\n 3;", " 99999;\n 3;"), replaced("  6;\n", "  -6;\n"),
          replaced("  8;\n  0;", "  2.5;\n  0;")}) {
        EXPECT_EQ(load(write("counts.x", damaged)), D3DXERR_INVALIDDATA);
        EXPECT_EQ(mesh, nullptr);
    }
}

}  // namespace
