// The two mesh loaders: ".x" files with the box standing in for a bad file, ".wfm" files
// with null for a bad one, and damaged ".wfm" files that must never crash the loader.
#include <boost/make_shared.hpp>

#include <limits>
#include <sstream>

#include "engine/render/mesh/mesh_builder.h"
#include "engine/render/mesh/mesh_loaders.h"
#include "tests/render_mesh/mesh_fixture.h"
#include "tests/support/memory_source.h"
#include "tools/artlib/mesh_writer.h"

namespace {

using mesh_testing::cubeRecords;
using mesh_testing::stripRecords;

ULONG references(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

using MeshLoaderTest = mesh_testing::MeshDeviceTest;

TEST_F(MeshLoaderTest, XFileLoadsOptimisedWithItsOwnData) {
    write("quad.x", mesh_testing::quadXFile());
    kesh::MeshLoader loader(dx.get(), directory());
    ID3DXMesh* mesh = loader.load("quad.x");
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetNumFaces(), 2u);
    EXPECT_EQ(references(mesh), 1u);
    const kesh::BoundingBox box = kesh::computeMeshBoundingBox(mesh);
    EXPECT_EQ(box.min, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(box.max, D3DXVECTOR3(2, 3, 0));
    loader.release(mesh);
    EXPECT_TRUE(morvale_testing::linesOf("resource").empty());
}

TEST_F(MeshLoaderTest, MissingXFilesShareOneBox) {
    write("broken.x", std::string("xof 0303txt 0032\nMesh {\n 9;\n"));
    ID3DXMesh* first = nullptr;
    {
        kesh::MeshLoader loader(dx.get(), directory());
        first = loader.load("sphere.x");
        ASSERT_NE(first, nullptr);
        EXPECT_TRUE(logged("Failed to load mesh " + directory() + "sphere.x"));
        ID3DXMesh* second = loader.load("broken.x");
        EXPECT_EQ(second, first);
        EXPECT_EQ(references(first), 3u);  // the loader's own and one per load
        const kesh::BoundingBox box = kesh::computeMeshBoundingBox(first);
        EXPECT_EQ(box.min, D3DXVECTOR3(-0.5f, -2.0f, -0.5f));
        EXPECT_EQ(box.max, D3DXVECTOR3(0.5f, 2.0f, 0.5f));
        loader.release(second);
        EXPECT_EQ(references(first), 2u);
    }
    // The loader's destruction gave its reference back.
    EXPECT_EQ(first->Release(), 0u);
}

TEST_F(MeshLoaderTest, WfmFileLoadsThroughItsCache) {
    write("shed.wfm", artlib::meshFileBytes(stripRecords({0, 1}, 2)));
    kesh::MeshInfoCache cache(boost::make_shared<kesh::MeshInfoLoader>(dx.get(), directory()));
    kesh::MeshInfo* info = cache.fetch("shed.wfm");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->mesh->GetNumFaces(), 2u);
    EXPECT_EQ(info->textureNames.size(), 2u);
    EXPECT_EQ(cache.fetch("shed.wfm"), info);
    cache.releaseAll();
    EXPECT_EQ(cache.size(), 0u);
}

TEST_F(MeshLoaderTest, UnreadableWfmFilesYieldNull) {
    artlib::MeshWriteOptions newer;
    newer.triMesh = 2;
    write("newer.wfm", artlib::meshFileBytes(stripRecords({0}, 1), newer));
    write("damaged.wfm", artlib::meshFileBytes(stripRecords({3}, 1)));
    write("text.wfm", std::string("not a stream at all"));
    maya_common::data::tri_mesh notANumber = stripRecords({0}, 1);
    notANumber.bboxes = {{0, 0, 0, 1, std::numeric_limits<float>::quiet_NaN(), 1}};
    write("nan.wfm", artlib::meshFileBytes(notANumber));
    kesh::MeshInfoLoader loader(dx.get(), directory());
    for (const std::string name :
         {"missing.wfm", "newer.wfm", "damaged.wfm", "text.wfm", "nan.wfm"}) {
        mesh_testing::captureResourceLog();
        EXPECT_EQ(loader.load(name), nullptr) << name;
        EXPECT_TRUE(logged("Failed to read from stream, returning default")) << name;
        EXPECT_TRUE(logged("Failed to load mesh " + directory() + name)) << name;
    }
    kesh::MeshInfoCache cache(boost::make_shared<kesh::MeshInfoLoader>(dx.get(), directory()));
    try {
        cache.fetch("missing.wfm");
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Failed to fetch resource: missing.wfm");
    }
}

TEST_F(MeshLoaderTest, AnInvalidMeshPassesThroughTheLoader) {
    maya_common::data::tri_mesh empty = stripRecords({}, 0);
    write("empty.wfm", artlib::meshFileBytes(empty));
    kesh::MeshInfoLoader loader(dx.get(), directory());
    EXPECT_THROW(loader.load("empty.wfm"), std::runtime_error);
}

TEST_F(MeshLoaderTest, BitFlippedWfmFilesNeverCrashTheLoader) {
    maya_common::data::tri_mesh mesh = cubeRecords();
    mesh.materials.materials = {{"a.tga"}, {"b.tga"}};
    mesh.face_materials.assign(12, 1);
    mesh.face_materials[3] = 0;
    mesh.uv_sets.push_back(mesh.uv_sets[0]);
    mesh.uv_tris.push_back(mesh.uv_tris[0]);
    mesh.bboxes = {{0, 0, 0, 1, 1, 1}};
    const std::vector<std::uint8_t> original = artlib::meshFileBytes(mesh);
    kesh::MeshInfoLoader loader(dx.get(), directory());
    int loaded = 0, refused = 0, invalid = 0;
    for (std::size_t bit = 0; bit < original.size() * 8; ++bit) {
        std::vector<std::uint8_t> bytes = original;
        bytes[bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
        try {
            std::unique_ptr<kesh::MeshInfo> info;
            // Files are slow to write: most flips go through the reader the loader uses,
            // with the loader's own handling of stream errors, a sample through the loader.
            if (bit % 61 == 0) {
                write("flipped.wfm", bytes);
                info.reset(loader.load("flipped.wfm"));
            } else {
                testing_support::MemorySource source(bytes);
                kesh::StreamReader reader(&source);
                try {
                    info.reset(kesh::readTriMesh(dx.get(), reader));
                } catch (const kesh::stream::error&) {
                }
            }
            if (info) {
                // What loaded is whole: every range lies inside the buffers.
                for (const D3DXATTRIBUTERANGE& r : info->attributes) {
                    EXPECT_LE(r.FaceStart + r.FaceCount, info->mesh->GetNumFaces());
                    EXPECT_LE(r.VertexStart + r.VertexCount, info->mesh->GetNumVertices());
                }
                ++loaded;
            } else {
                ++refused;
            }
        } catch (const std::runtime_error&) {
            ++invalid;  // a list emptied by the flip
        }
    }
    EXPECT_GT(loaded, 0);
    EXPECT_GT(refused, 0);
    EXPECT_EQ(loaded + refused + invalid, int(original.size() * 8));
}

}  // namespace
