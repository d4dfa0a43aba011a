// Building meshes from mesh records: welding, attribute ranges, index width, vertex layout,
// texture names, part boxes, and records that do not hold together.
#include <array>
#include <cstring>
#include <limits>
#include <unordered_set>

#include "engine/core/stream_error.h"
#include "engine/render/mesh/mesh_builder.h"
#include "tests/render_mesh/mesh_fixture.h"
#include "tests/support/memory_source.h"
#include "tests/support/weld_records.h"
#include "tools/artlib/mesh_writer.h"

namespace {

using maya_common::data::tri_index;
using maya_common::data::tri_mesh;
using mesh_testing::cubeRecords;
using mesh_testing::stripRecords;

struct Vertex {
    float position[3];
    float normal[3];
    float uv0[2];
    float uv1[2];
};
static_assert(sizeof(Vertex) == 40, "the built layout");

class MeshBuilderTest : public mesh_testing::MeshDeviceTest {
protected:
    void TearDown() override {
        built.reset();
        MeshDeviceTest::TearDown();
    }

    ID3DXMesh* build(const tri_mesh& records) {
        built.reset(kesh::buildMeshInfo(dx.get(), records));
        return built->mesh.get();
    }

    std::vector<Vertex> vertices() {
        void* data = nullptr;
        EXPECT_EQ(built->mesh->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
        std::vector<Vertex> out(built->mesh->GetNumVertices());
        std::memcpy(out.data(), data, out.size() * sizeof(Vertex));
        built->mesh->UnlockVertexBuffer();
        return out;
    }

    std::vector<DWORD> indices() {
        void* data = nullptr;
        EXPECT_EQ(built->mesh->LockIndexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
        std::vector<DWORD> out(built->mesh->GetNumFaces() * 3);
        const bool wide = built->mesh->GetOptions() & D3DXMESH_32BIT;
        for (std::size_t i = 0; i < out.size(); ++i) {
            out[i] = wide ? static_cast<DWORD*>(data)[i] : static_cast<WORD*>(data)[i];
        }
        built->mesh->UnlockIndexBuffer();
        return out;
    }

    void expectStreamError(const tri_mesh& records) {
        try {
            kesh::buildMeshInfo(dx.get(), records);
            ADD_FAILURE() << "no exception";
        } catch (const kesh::stream::error& e) {
            EXPECT_EQ(e.code, 1);
        }
    }

    using Range = std::array<DWORD, 5>;
    std::vector<Range> ranges() const {
        std::vector<Range> out;
        for (const D3DXATTRIBUTERANGE& r : built->attributes) {
            out.push_back({r.AttribId, r.FaceStart, r.FaceCount, r.VertexStart, r.VertexCount});
        }
        return out;
    }

    std::unique_ptr<kesh::MeshInfo> built;
};

TEST_F(MeshBuilderTest, CubeWeldsToFourVerticesPerSide) {
    const tri_mesh cube = cubeRecords();
    ID3DXMesh* mesh = build(cube);
    EXPECT_EQ(mesh->GetNumVertices(), 24u);
    EXPECT_EQ(mesh->GetNumFaces(), 12u);
    EXPECT_EQ(mesh->GetNumBytesPerVertex(), 40u);
    EXPECT_EQ(mesh->GetOptions(), DWORD(D3DXMESH_MANAGED));
    D3DVERTEXELEMENT9 layout[MAX_FVF_DECL_SIZE];
    ASSERT_EQ(mesh->GetDeclaration(layout), D3D_OK);
    EXPECT_EQ(std::memcmp(layout, kesh::meshVertexLayout, sizeof kesh::meshVertexLayout), 0);

    // Every corner of every triangle reads back its own position, normal and uv.
    const auto v = vertices();
    const auto ix = indices();
    for (std::size_t t = 0; t < 12; ++t) {
        const tri_index p = cube.position_tris[t], n = cube.normal_tris[t], u = cube.uv_tris[0][t];
        const std::uint32_t pc[3] = {p.a, p.b, p.c}, nc[3] = {n.a, n.b, n.c},
                            uc[3] = {u.a, u.b, u.c};
        for (int c = 0; c < 3; ++c) {
            const Vertex& got = v[ix[t * 3 + c]];
            EXPECT_EQ(got.position[0], cube.positions[pc[c]].x);
            EXPECT_EQ(got.position[2], cube.positions[pc[c]].z);
            EXPECT_EQ(got.normal[0], cube.normals[nc[c]].x);
            EXPECT_EQ(got.normal[1], cube.normals[nc[c]].y);
            EXPECT_EQ(got.uv0[0], cube.uv_sets[0].values[uc[c] * 2]);
            EXPECT_EQ(got.uv0[1], cube.uv_sets[0].values[uc[c] * 2 + 1]);
            // Only one uv triangle list: the second pair is zero.
            EXPECT_EQ(got.uv1[0], 0.0f);
            EXPECT_EQ(got.uv1[1], 0.0f);
        }
    }
    // No face materials: one range over everything, and no material textures.
    EXPECT_EQ(ranges(), (std::vector<Range>{{1, 0, 12, 0, 24}}));
    EXPECT_TRUE(built->textureNames.empty());
}

TEST_F(MeshBuilderTest, SmoothSurfaceWeldsToOneVertexPerPosition) {
    tri_mesh cube = cubeRecords();
    cube.normals = {{0, 1, 0}};
    cube.normal_tris = cube.position_tris;
    cube.normals.resize(8, {0, 1, 0});
    cube.uv_sets[0].values.assign(16, 0.5f);
    cube.uv_tris[0] = cube.position_tris;
    EXPECT_EQ(build(cube)->GetNumVertices(), 8u);
}

TEST_F(MeshBuilderTest, MaterialsOrderRangesAndSplitVertices) {
    // Identical index triples under different materials are different vertices.
    tri_mesh twins = stripRecords({1, 0}, 2);
    twins.position_tris[1] = twins.position_tris[0];
    EXPECT_EQ(build(twins)->GetNumVertices(), 6u);

    // Materials 2, 0, 2: the range of material 0 comes first; triangles of one material
    // keep their order.
    build(stripRecords({2, 0, 2}, 3));
    EXPECT_EQ(ranges(), (std::vector<Range>{{1, 0, 1, 0, 3}, {2, 1, 2, 3, 6}}));
    EXPECT_EQ(built->rangeMaterials, (std::vector<int>{0, 2}));
    const auto v = vertices();
    const auto ix = indices();
    EXPECT_EQ(v[ix[0]].position[0], 1.0f);  // triangle 1, the one of material 0
    EXPECT_EQ(v[ix[3]].position[0], 0.0f);  // then triangle 0
    EXPECT_EQ(v[ix[6]].position[0], 2.0f);  // then triangle 2
}

TEST_F(MeshBuilderTest, IndicesWidenAtTheSixtyFiveThousandFiveHundredAndThirtyFifthVertex) {
    for (const std::uint32_t count : {65534u, 65535u}) {
        tri_mesh mesh = stripRecords({}, 0);
        mesh.positions.resize(count, {1, 2, 3});
        mesh.position_tris.clear();
        for (std::uint32_t first = 0; first < count; first += 3) {
            mesh.position_tris.push_back({first, first + 1, std::min(first + 2, count - 1)});
        }
        ID3DXMesh* made = build(mesh);
        EXPECT_EQ(made->GetNumVertices(), count);
        EXPECT_EQ((made->GetOptions() & D3DXMESH_32BIT) != 0, count == 65535u) << count;
        EXPECT_EQ(indices().back(), count - 1);
    }
}

TEST_F(MeshBuilderTest, KeysWhoseFieldsCancelInAShiftedHashStillSpreadAndWeld) {
    // Position 4n with normal n, and uv index n with second uv index 16n: families that a
    // hash of shifted fields folds into one value.
    std::unordered_set<std::size_t> positional;
    std::unordered_set<std::size_t> textured;
    const kesh::WeldKeyHash hash;
    constexpr std::int32_t kKeys = 60000;
    for (std::int32_t n = 0; n < kKeys; ++n) {
        positional.insert(hash(kesh::WeldKey{{4 * n, n, 0, -1, -1}}));
        textured.insert(hash(kesh::WeldKey{{0, 0, n, 16 * n, 2}}));
    }
    EXPECT_EQ(positional.size(), std::size_t(kKeys));
    EXPECT_EQ(textured.size(), std::size_t(kKeys));

    // Files of 4 and 10 MB made of such corners, which took seconds to a minute to weld.
    for (const std::uint32_t triangles : {20000u, 50000u}) {
        testing_support::MemorySource source(
            artlib::meshFileBytes(morvale_testing::weldRecords(triangles, true)));
        kesh::StreamReader reader(&source);
        built.reset(kesh::readTriMesh(dx.get(), reader));
        ASSERT_EQ(built->mesh->GetNumVertices(), triangles * 3);
        const std::vector<Vertex> v = vertices();
        const std::vector<DWORD> ix = indices();
        for (const std::uint32_t n : {0u, 1u, triangles, triangles * 3 - 1}) {
            EXPECT_EQ(v[ix[n]].position[0], float(n)) << n;
        }
    }
}

TEST_F(MeshBuilderTest, SecondUvSetFillsTheSecondCoordinates) {
    tri_mesh mesh = stripRecords({0}, 1);
    maya_common::data::uv_set light;
    light.dim = 3;  // entries start at dim times the index
    light.values = {9, 9, 9, 0.25f, 0.75f, 9};
    mesh.uv_sets.push_back(light);
    mesh.uv_tris = {{{0, 0, 0}}, {{1, 0, 1}}};
    build(mesh);
    const auto v = vertices();
    const auto ix = indices();
    EXPECT_EQ(v[ix[0]].uv1[0], 0.25f);
    EXPECT_EQ(v[ix[0]].uv1[1], 0.75f);
    EXPECT_EQ(v[ix[1]].uv1[0], 9.0f);
}

TEST_F(MeshBuilderTest, TextureNamesEndInDds) {
    EXPECT_EQ(kesh::textureNameOf("rock.tga"), "rock.dds");
    EXPECT_EQ(kesh::textureNameOf("sand.bmp"), "sand.dds");
    EXPECT_EQ(kesh::textureNameOf("wall.png"), "wall.png.dds");
    EXPECT_EQ(kesh::textureNameOf("a.tga.bmp"), "a.dds");
    EXPECT_EQ(kesh::textureNameOf("plain"), "plain.dds");

    build(stripRecords({0, 1}, 2));
    EXPECT_EQ(built->textureNames, (std::vector<std::string>{"tex0.dds", "tex1.dds"}));
}

TEST_F(MeshBuilderTest, PartBoxesNegateZAndOrderTheirCorners) {
    tri_mesh mesh = stripRecords({0}, 1);
    mesh.bboxes = {{1, 0, 1, 0, 1, 2}};
    build(mesh);
    ASSERT_EQ(built->boxCount(), 1u);
    EXPECT_EQ(built->box(0)->min, D3DXVECTOR3(0, 0, -2));
    EXPECT_EQ(built->box(0)->max, D3DXVECTOR3(1, 1, -1));
}

TEST_F(MeshBuilderTest, MissingListsAreAnInvalidMesh) {
    const auto clears = std::vector<void (*)(tri_mesh&)>{
        [](tri_mesh& m) { m.positions.clear(); }, [](tri_mesh& m) { m.normals.clear(); },
        [](tri_mesh& m) { m.uv_sets.clear(); }, [](tri_mesh& m) { m.position_tris.clear(); }};
    for (auto clear : clears) {
        tri_mesh mesh = cubeRecords();
        clear(mesh);
        try {
            kesh::buildMeshInfo(dx.get(), mesh);
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "Invalid mesh");
        }
    }
}

TEST_F(MeshBuilderTest, RecordsThatDoNotHoldTogetherAreABadFile) {
    using Damage = void (*)(tri_mesh&);
    const Damage damages[] = {
        [](tri_mesh& m) { m.position_tris[3].b = 8; },
        [](tri_mesh& m) { m.normal_tris[0].c = 6; },
        [](tri_mesh& m) { m.normal_tris.pop_back(); },
        [](tri_mesh& m) { m.uv_tris[0][5].a = 4; },
        [](tri_mesh& m) {
            m.uv_tris[0].push_back({0, 0, 0});
        },
        [](tri_mesh& m) { m.uv_sets[0].values.pop_back(); },  // entry 3 lacks its v
        [](tri_mesh& m) { m.uv_sets[0].dim = 1; },
        [](tri_mesh& m) { m.uv_sets[0].dim = 0; },
        [](tri_mesh& m) { m.uv_tris.push_back(m.uv_tris[0]); },  // no second uv set
        [](tri_mesh& m) { m.face_materials.assign(11, 0); },
        [](tri_mesh& m) { m.face_materials.assign(13, 0); },
        [](tri_mesh& m) { m.face_materials.assign(12, 1); },
        [](tri_mesh& m) { m.face_materials.assign(12, -1); },
        [](tri_mesh& m) { m.position_tris[0].a = 0xFFFFFFFFu; },
        [](tri_mesh& m) { m.positions[7].y = std::numeric_limits<float>::quiet_NaN(); },
        [](tri_mesh& m) { m.positions[0].z = -std::numeric_limits<float>::infinity(); },
        [](tri_mesh& m) { m.bboxes[0].maxX = std::numeric_limits<float>::quiet_NaN(); },
        [](tri_mesh& m) { m.bboxes[0].minZ = std::numeric_limits<float>::infinity(); },
    };
    const float most = std::numeric_limits<float>::max();
    for (Damage damage : damages) {
        tri_mesh mesh = cubeRecords();
        mesh.materials.materials = {{"only.tga"}};
        mesh.bboxes = {{-most, -most, -most, most, most, most}};
        damage(mesh);
        expectStreamError(mesh);
    }
    // The same records undamaged build, an unused uv set may have any dim and a position no
    // triangle uses any value, and part boxes may reach the largest floats.
    tri_mesh mesh = cubeRecords();
    mesh.materials.materials = {{"only.tga"}};
    mesh.face_materials.assign(12, 0);
    mesh.uv_sets.push_back({});
    mesh.positions.push_back({std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0f});
    mesh.bboxes = {{-most, -most, -most, most, most, most}};
    EXPECT_EQ(build(mesh)->GetNumVertices(), 24u);
}

TEST_F(MeshBuilderTest, ReadsAWholeFile) {
    tri_mesh mesh = stripRecords({1, 0}, 2);
    mesh.bboxes = {{0, 0, 0, 1, 1, 1}};
    for (const std::uint32_t version : {0u, 1u}) {
        artlib::MeshWriteOptions options;
        options.triMesh = version;
        testing_support::MemorySource source(artlib::meshFileBytes(mesh, options));
        kesh::StreamReader reader(&source);
        built.reset(kesh::readTriMesh(dx.get(), reader));
        EXPECT_EQ(built->boxCount(), version);
        EXPECT_EQ(built->attributes.size(), 2u);
    }
}

}  // namespace
