// Mesh objects drawn against the null device: which ranges are drawn, with which texture,
// through how many passes, and the transform handed to the effect.
#include <boost/make_shared.hpp>

#include <algorithm>
#include <functional>
#include <utility>

#include "engine/render/effect/effect_cache.h"
#include "engine/render/effect/effect_loader.h"
#include "engine/render/mesh/mesh.h"
#include "engine/render/mesh/mesh_builder.h"
#include "engine/render/mesh/mesh_draw.h"
#include "engine/render/mesh/mesh_instance.h"
#include "engine/render/mesh/mesh_loaders.h"
#include "engine/render/texture/texture_loader.h"
#include "tests/render_mesh/mesh_fixture.h"
#include "tools/artlib/mesh_writer.h"

namespace {

using mesh_testing::stripRecords;

// Two fixed-function drawing passes that show tex_0, and the restore pass.
const char* const kTwoPassEffect = R"(
float4x4 matrix_world_view_projection;
texture tex_0;
texture tex_1;
technique t0
{
    pass p0 { Texture[0] = <tex_0>; ColorOp[0] = SelectArg1; ColorArg1[0] = Texture; }
    pass p1 { Texture[0] = <tex_0>; ColorOp[0] = SelectArg1; ColorArg1[0] = Texture; }
    pass pRestoreState { ColorOp[0] = Disable; CullMode = CW; }
}
)";

// An uncompressed 2 x 2 true-colour image.
std::vector<std::uint8_t> tgaImage(std::uint8_t shade) {
    std::vector<std::uint8_t> bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 32, 8};
    for (int pixel = 0; pixel < 4; ++pixel) {
        bytes.insert(bytes.end(), {shade, shade, shade, 255});
    }
    return bytes;
}

class MeshDrawTest : public mesh_testing::MeshDeviceTest {
protected:
    void SetUp() override {
        MeshDeviceTest::SetUp();
        write("two_pass.fx", std::string(kTwoPassEffect));
        for (int i = 0; i < 3; ++i) {
            write("tex" + std::to_string(i) + ".tga", tgaImage(std::uint8_t(60 * i)));
        }
        auto textureLoader = boost::make_shared<kesh::TextureLoader>(dx.get(), directory());
        textureLoader->setExtension(".tga");
        textures = std::make_unique<kesh::TextureCache>(textureLoader);
        effects = std::make_unique<kesh::EffectCache>(
            boost::make_shared<kesh::EffectLoader>(dx.get(), 0, directory()), dx.get());
        meshes = std::make_unique<kesh::MeshCache>(
            boost::make_shared<kesh::MeshLoader>(dx.get(), directory()));
        infos = std::make_unique<kesh::MeshInfoCache>(
            boost::make_shared<kesh::MeshInfoLoader>(dx.get(), directory()));
        kesh::theTextureCache = textures.get();
        kesh::theEffectCache = effects.get();
        kesh::theMeshCache = meshes.get();
        kesh::theMeshInfoCache = infos.get();
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        effect = effects->fetch("two_pass.fx");
    }

    void TearDown() override {
        kesh::theMeshCache = nullptr;
        kesh::theMeshInfoCache = nullptr;
        kesh::theTextureCache = nullptr;
        kesh::theEffectCache = nullptr;
        meshes.reset();
        infos.reset();
        textures.reset();
        effects.reset();
        MeshDeviceTest::TearDown();
    }

    IDirect3DBaseTexture9* texture(const std::string& name) { return textures->fetch(name); }
    std::vector<d3d9::RecordedDraw> takeDraws() {
        std::vector<d3d9::RecordedDraw> draws(record->draws.begin(), record->draws.end());
        record->draws.clear();
        return draws;
    }
    D3DXMATRIX parameterMatrix() {
        D3DXMATRIX m;
        EXPECT_EQ(effect->GetMatrix("matrix_world_view_projection", &m), D3D_OK);
        return m;
    }

    std::unique_ptr<kesh::TextureCache> textures;
    std::unique_ptr<kesh::EffectCache> effects;
    std::unique_ptr<kesh::MeshCache> meshes;
    std::unique_ptr<kesh::MeshInfoCache> infos;
    ID3DXEffect* effect = nullptr;
};

void expectNear(const D3DXMATRIX& a, const D3DXMATRIX& b) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(static_cast<const float*>(a)[i], static_cast<const float*>(b)[i], 1e-4f)
            << "element " << i;
    }
}

TEST_F(MeshDrawTest, InstanceDrawsEachRangeWithItsOwnMaterialsTexture) {
    // Material 1 has no faces: the range of material 2 must still get tex2.
    write("yard.wfm", artlib::meshFileBytes(stripRecords({2, 0, 2}, 3)));
    kesh::MeshInfo* info = infos->fetch("yard.wfm");
    kesh::MeshInstance instance(info);
    D3DXMATRIX place;
    D3DXMatrixTranslation(&place, 5, 0, 0);
    instance.setTransform(place);
    kesh::CameraView camera;
    instance.render(effect, camera);

    const auto draws = takeDraws();
    ASSERT_EQ(draws.size(), 4u);  // two ranges, two passes each
    const struct {
        UINT startIndex, triangles, minIndex, vertices;
        const char* texture;
    } expected[] = {{0, 1, 0, 3, "tex0.dds"}, {3, 2, 3, 6, "tex2.dds"}};
    for (std::size_t d = 0; d < draws.size(); ++d) {
        const auto& want = expected[d / 2];
        EXPECT_EQ(draws[d].kind, d3d9::DrawKind::Indexed);
        EXPECT_EQ(draws[d].startIndex, want.startIndex);
        EXPECT_EQ(draws[d].primitiveCount, want.triangles);
        EXPECT_EQ(draws[d].minIndex, want.minIndex);
        EXPECT_EQ(draws[d].numVertices, want.vertices);
        EXPECT_EQ(draws[d].stride, 40u);
        EXPECT_EQ(draws[d].state.textures[0], texture(want.texture)) << d;
    }
    expectNear(parameterMatrix(), place * camera.viewProjection);
    IDirect3DBaseTexture9* left = nullptr;
    EXPECT_EQ(effect->GetTexture("tex_0", &left), D3D_OK);
    EXPECT_EQ(left, nullptr);
}

TEST_F(MeshDrawTest, OneTextureDrawsEveryRangeInEachPassAndLeavesNothingBound) {
    write("plain.wfm", artlib::meshFileBytes(stripRecords({0, 1, 1}, 2)));
    const kesh::MeshInfo& info = *infos->fetch("plain.wfm");
    kesh::CameraView camera;
    camera.setPosition(D3DXVECTOR3(0, 1, -5));
    D3DXMATRIX world;
    D3DXMatrixRotationY(&world, 0.7f);

    kesh::drawMeshInfo(info, effect, world, camera.viewProjection);
    auto draws = takeDraws();
    ASSERT_EQ(draws.size(), 4u);
    const UINT triangles[] = {1, 2, 1, 2};  // pass by pass, every range in each
    for (std::size_t d = 0; d < draws.size(); ++d) {
        EXPECT_EQ(draws[d].primitiveCount, triangles[d]) << d;
        EXPECT_EQ(draws[d].state.textures[0], texture("tex0.dds")) << d;
    }
    expectNear(parameterMatrix(), world * camera.viewProjection);
    win32::ComPtr<IDirect3DIndexBuffer9> indices;
    win32::ComPtr<IDirect3DVertexBuffer9> vertices;
    UINT offset = 0, stride = 0;
    ASSERT_EQ(device->GetIndices(indices.out()), D3D_OK);
    ASSERT_EQ(device->GetStreamSource(0, vertices.out(), &offset, &stride), D3D_OK);
    EXPECT_EQ(indices.get(), nullptr);
    EXPECT_EQ(vertices.get(), nullptr);

    kesh::drawMeshInfo(info, effect, world, camera.viewProjection,
                       kesh::MeshTextures::given(nullptr));
    draws = takeDraws();
    ASSERT_EQ(draws.size(), 4u);
    EXPECT_EQ(draws[0].state.textures[0], nullptr);

    // A lightmap goes to "tex_1" beside each range's own texture.
    kesh::drawMeshInfo(info, effect, world, camera.viewProjection,
                       kesh::MeshTextures::ownMaterial(texture("tex2.dds")));
    EXPECT_EQ(takeDraws()[2].state.textures[0], texture("tex1.dds"));
    IDirect3DBaseTexture9* lightmap = nullptr;
    EXPECT_EQ(effect->GetTexture("tex_1", &lightmap), D3D_OK);
    EXPECT_EQ(lightmap, texture("tex2.dds"));
    lightmap->Release();
}

TEST_F(MeshDrawTest, InstanceWithoutRangeMaterialsPairsByPosition) {
    write("three.wfm", artlib::meshFileBytes(stripRecords({0, 1, 2}, 3)));
    kesh::MeshInfo* built = infos->fetch("three.wfm");
    // The same mesh with two texture names and no record of the range materials.
    kesh::MeshInfo info(built->mesh, {"tex0.dds", "tex1.dds"});
    ASSERT_EQ(info.attributes.size(), 3u);
    kesh::MeshInstance instance(&info);
    instance.render(effect, kesh::CameraView());
    const auto draws = takeDraws();
    ASSERT_EQ(draws.size(), 4u);
    EXPECT_EQ(draws[3].state.textures[0], texture("tex1.dds"));
}

TEST_F(MeshDrawTest, NamesChooseTheCacheAndTheExtension) {
    write("crate.x", mesh_testing::quadXFile());
    write("Hut.WFM", artlib::meshFileBytes(stripRecords({0}, 1)));
    write("model.3ds.wfm", artlib::meshFileBytes(stripRecords({0}, 1)));
    write("plain.wfm", artlib::meshFileBytes(stripRecords({0, 1, 2}, 3)));

    const kesh::Mesh crate("crate.x", "two_pass.fx", "tex0.dds", 0);
    EXPECT_FALSE(crate.isWfm);
    EXPECT_EQ(crate.meshFile, "crate.x");
    EXPECT_EQ(crate.bounds.max, D3DXVECTOR3(2, 3, 0));
    const kesh::Mesh hut("Hut.WFM", "two_pass.fx", "tex0.dds", 1);
    EXPECT_TRUE(hut.isWfm);
    EXPECT_EQ(hut.meshFile, "Hut.WFM");
    const kesh::Mesh model("model.3ds", "two_pass.fx", 0u, 1);
    EXPECT_EQ(model.meshFile, "model.3ds.wfm");
    EXPECT_EQ(model.textureName, "tex0.dds");
    const kesh::Mesh plain("plain", "two_pass.fx", 2u, 1);
    EXPECT_EQ(plain.meshFile, "plain.wfm");
    EXPECT_EQ(plain.textureName, "tex2.dds");
    const kesh::Mesh past("plain", "two_pass.fx", 3u, 1);
    EXPECT_EQ(past.textureName, "");
    const kesh::Mesh xMaterial("crate.x", "two_pass.fx", 1u, 0);
    EXPECT_EQ(xMaterial.textureName, "");
    // The texture-name form keeps a name without a dot as it is, a ".wfm" resource all
    // the same; loading it fails through the cache.
    EXPECT_THROW(kesh::Mesh("plain", "two_pass.fx", "tex0.dds", 1), std::runtime_error);
}

TEST_F(MeshDrawTest, MeshDrawsOneSubsetOrEveryRange) {
    write("crate.x", mesh_testing::quadXFile());
    write("plain.wfm", artlib::meshFileBytes(stripRecords({0, 1, 1}, 2)));
    kesh::CameraView camera;

    kesh::Mesh crate("crate.x", "two_pass.fx", "tex1.dds", 0);
    crate.render(camera);
    auto draws = takeDraws();
    ASSERT_EQ(draws.size(), 2u);  // one per drawing pass
    EXPECT_EQ(draws[0].primitiveCount, 2u);
    EXPECT_EQ(draws[0].state.textures[0], texture("tex1.dds"));

    // Subset 0 of a ".wfm" mesh is empty: its ranges are numbered from 1.
    kesh::Mesh subsetZero("plain.wfm", "two_pass.fx", "tex0.dds", 0);
    subsetZero.render(camera);
    EXPECT_TRUE(takeDraws().empty());
    kesh::Mesh second("plain.wfm", "two_pass.fx", "tex0.dds", 2);
    second.render(camera);
    draws = takeDraws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].primitiveCount, 2u);

    subsetZero.setDrawAllRanges(true);
    subsetZero.render(camera);
    EXPECT_EQ(takeDraws().size(), 4u);

    // The object form: the first material's texture, every range.
    kesh::Mesh object("plain", "two_pass.fx");
    EXPECT_EQ(object.meshFile, "plain.wfm");
    EXPECT_EQ(object.textureName, "tex0.dds");
    EXPECT_TRUE(object.drawsAllRanges());
    object.render(camera);
    draws = takeDraws();
    ASSERT_EQ(draws.size(), 4u);
    EXPECT_EQ(draws[0].primitiveCount + draws[1].primitiveCount, 3u);  // pass by pass
}

TEST_F(MeshDrawTest, ARefusedDrawThrowsItsCallersText) {
    write("plain.wfm", artlib::meshFileBytes(stripRecords({0, 1}, 2)));
    kesh::CameraView camera;
    kesh::Mesh object("plain", "two_pass.fx");
    kesh::MeshInstance instance(infos->fetch("plain.wfm"));
    ASSERT_EQ(device->EndScene(), D3D_OK);  // outside a scene the device refuses to draw
    const std::pair<std::function<void()>, std::string> draws[] = {
        {[&] { object.render(camera); }, "Failed to render mesh ("},
        {[&] { instance.render(effect, camera); }, "Failed to draw indexed primitive ("},
    };
    for (const auto& draw : draws) {
        try {
            draw.first();
            ADD_FAILURE() << "drawn outside a scene";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()).rfind(draw.second, 0), 0u) << e.what();
        }
        IDirect3DIndexBuffer9* indices = nullptr;
        device->GetIndices(&indices);
        EXPECT_EQ(indices, nullptr);
    }
}

TEST_F(MeshDrawTest, TransformRunsThroughPreWorldPostAndCamera) {
    write("crate.x", mesh_testing::quadXFile());
    kesh::Mesh crate("crate.x", "two_pass.fx", "tex0.dds", 0);
    kesh::CameraView camera;
    camera.setPosition(D3DXVECTOR3(1, 2, -10));
    D3DXMATRIX pre, post;
    D3DXMatrixRotationY(&pre, 0.5f);
    D3DXMatrixScaling(&post, 2, 2, 2);
    D3DXMatrixTranslation(&crate.world, 0, 0, 4);
    crate.render(camera, &pre, &post);
    expectNear(parameterMatrix(), pre * crate.world * post * camera.viewProjection);
    crate.render(camera);
    expectNear(parameterMatrix(), crate.world * camera.viewProjection);
}

TEST_F(MeshDrawTest, TranslatedMeshFollowsTheEye) {
    write("sky.x", mesh_testing::quadXFile());
    kesh::TranslatedMesh sky("sky.x", "two_pass.fx", "tex0.dds", 0);
    D3DXMatrixRotationX(&sky.world, 0.3f);
    const D3DXMATRIX turn = sky.world;
    kesh::CameraView camera;
    for (const D3DXVECTOR3& eye : {D3DXVECTOR3(4, 5, 6), D3DXVECTOR3(-100, 0, 30)}) {
        camera.setPosition(eye);
        sky.render(camera);
        EXPECT_EQ(D3DXVECTOR3(sky.world._41, sky.world._42, sky.world._43), eye);
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(static_cast<const float*>(sky.world)[i], static_cast<const float*>(turn)[i]);
        }
        expectNear(parameterMatrix(), sky.world * camera.viewProjection);
    }
}

}  // namespace
