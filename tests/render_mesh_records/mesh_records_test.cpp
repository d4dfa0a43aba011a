#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/render/mesh/mesh_records.h"
#include "tests/support/memory_source.h"
#include "tests/support/sample_data.h"
#include "tools/artlib/mesh_writer.h"

using maya_common::data::tri_mesh;
using testing_support::MemorySource;
using testing_support::sampleMesh;

namespace {

tri_mesh readMesh(const std::vector<std::uint8_t>& bytes) {
    MemorySource source(bytes);
    kesh::StreamReader reader(&source);
    tri_mesh mesh;
    maya_common::data::readMeshFile(reader, mesh);
    return mesh;
}

}  // namespace

TEST(MeshRecords, VersionOneRoundTripsWithPartBoxes) {
    const tri_mesh written = sampleMesh();
    const tri_mesh read = readMesh(artlib::meshFileBytes(written));
    EXPECT_EQ(read, written);
    ASSERT_EQ(read.bboxes.size(), 2u);
    EXPECT_EQ(read.bboxes[1].minX, 5.0f);  // corners are kept in the order stored

    artlib::MeshWriteOptions named;
    named.classNames = true;
    EXPECT_EQ(readMesh(artlib::meshFileBytes(written, named)), written);
    EXPECT_EQ(readMesh(artlib::meshFileBytes(tri_mesh())), tri_mesh());
}

TEST(MeshRecords, VersionZeroEndsAfterTheFaceMaterials) {
    artlib::MeshWriteOptions options;
    options.triMesh = 0;
    tri_mesh expected = sampleMesh();
    const tri_mesh read = readMesh(artlib::meshFileBytes(expected, options));
    EXPECT_TRUE(read.bboxes.empty());
    expected.bboxes.clear();
    EXPECT_EQ(read, expected);
}

TEST(MeshRecords, VersionTwoIsRefused) {
    artlib::MeshWriteOptions options;
    options.triMesh = 2;
    try {
        readMesh(artlib::meshFileBytes(sampleMesh(), options));
        FAIL() << "no exception";
    } catch (const kesh::serialization::version_error& e) {
        EXPECT_EQ(e.code, 3);
        EXPECT_EQ(e.supported, 1u);
        EXPECT_EQ(e.found, 2u);
        EXPECT_EQ(*e.type, typeid(tri_mesh));
    }
}

TEST(MeshRecords, TagWordsAreNotCompared) {
    artlib::MeshWriteOptions options;
    options.triMeshTag = 0;
    options.materialListTag = 0xFFFFFFFFu;
    options.uvSetTag = 12345;
    EXPECT_EQ(readMesh(artlib::meshFileBytes(sampleMesh(), options)), sampleMesh());
}

TEST(MeshRecords, UvSetStoresTheNameBeforeDim) {
    // Written by hand so that the layout is checked independently of the writer.
    artlib::StreamWriter out;
    out.writeHeader();
    out.writeVersion(0x80000001u, "tri_mesh");
    out.writeU32(maya_common::data::triMeshTag);
    for (int list = 0; list < 2; ++list) {  // positions, normals
        out.writeVersion(0);
        out.writeU32(0);
    }
    out.writeVersion(0);  // uv_sets
    out.writeU32(1);
    out.writeVersion(0);
    out.writeU32(maya_common::data::uvSetTag);
    out.writeString("map1");
    out.writeU32(3);      // dim, kept as stored
    out.writeVersion(0);  // values: none
    out.writeU32(0);
    out.writeVersion(0);  // material_list
    out.writeU32(maya_common::data::materialListTag);
    out.writeVersion(0);
    out.writeU32(1);
    out.writeVersion(0);
    out.writeString("rock.tga");
    for (int list = 0; list < 2; ++list) {  // position_tris, normal_tris
        out.writeVersion(0);
        out.writeU32(0);
    }
    out.writeVersion(0);  // uv_tris: one inner list of one triangle
    out.writeU32(1);
    out.writeVersion(0);
    out.writeU32(1);
    out.writeU32(4);
    out.writeU32(5);
    out.writeU32(6);
    out.writeVersion(0);  // face_materials
    out.writeU32(1);
    out.writeI32(-2);
    out.writeVersion(0);  // bboxes
    out.writeU32(1);
    out.writeVersion(0);
    for (int i = 1; i <= 6; ++i) {
        out.writeFloat(static_cast<float>(i));
    }

    const tri_mesh mesh = readMesh(out.bytes());
    ASSERT_EQ(mesh.uv_sets.size(), 1u);
    EXPECT_EQ(mesh.uv_sets[0].name, "map1");
    EXPECT_EQ(mesh.uv_sets[0].dim, 3u);
    EXPECT_TRUE(mesh.uv_sets[0].values.empty());
    ASSERT_EQ(mesh.materials.materials.size(), 1u);
    EXPECT_EQ(mesh.materials.materials[0].name, "rock.tga");
    ASSERT_EQ(mesh.uv_tris.size(), 1u);
    ASSERT_EQ(mesh.uv_tris[0].size(), 1u);
    EXPECT_EQ(mesh.uv_tris[0][0].a, 4u);
    EXPECT_EQ(mesh.uv_tris[0][0].c, 6u);
    EXPECT_EQ(mesh.face_materials, std::vector<int>{-2});
    ASSERT_EQ(mesh.bboxes.size(), 1u);
    EXPECT_EQ(mesh.bboxes[0].minX, 1.0f);
    EXPECT_EQ(mesh.bboxes[0].maxZ, 6.0f);
}

TEST(MeshRecords, ZeroUvTriangleListsGiveNone) {
    tri_mesh written = sampleMesh();
    written.uv_tris.clear();
    written.uv_sets[1].values.clear();
    const tri_mesh read = readMesh(artlib::meshFileBytes(written));
    EXPECT_TRUE(read.uv_tris.empty());
    EXPECT_TRUE(read.uv_sets[1].values.empty());
    EXPECT_EQ(read.uv_sets[1].dim, 2u);
}

TEST(MeshRecords, EveryTruncationIsAReadFailureOrAnIncorrectFile) {
    const auto bytes = artlib::meshFileBytes(sampleMesh());
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + length);
        try {
            readMesh(cut);
            ADD_FAILURE() << "a mesh cut to " << length << " bytes was accepted";
        } catch (const kesh::serialization::version_error&) {
            ADD_FAILURE() << "version error at " << length;
        } catch (const kesh::stream::error& e) {
            EXPECT_EQ(e.code, length < 6 ? 0 : 1) << "length " << length;
        }
    }
}

TEST(MeshRecords, OversizedCountsAreRefused) {
    // A position count of a million in a file of a few bytes.
    artlib::StreamWriter out;
    out.writeHeader();
    out.writeVersion(1);
    out.writeU32(maya_common::data::triMeshTag);
    out.writeVersion(0);
    out.writeU32(1000000);
    out.writeFloat(1.0f);
    try {
        readMesh(out.bytes());
        FAIL() << "no exception";
    } catch (const kesh::stream::error& e) {
        EXPECT_EQ(e.code, 1);
    }

    // Two positions need 24 bytes: 20 are not enough even though five words are.
    artlib::StreamWriter tight;
    tight.writeHeader();
    tight.writeVersion(1);
    tight.writeU32(0);
    tight.writeVersion(0);
    tight.writeU32(2);
    for (int i = 0; i < 5; ++i) {
        tight.writeFloat(0.0f);
    }
    EXPECT_THROW(readMesh(tight.bytes()), kesh::stream::error);
}
