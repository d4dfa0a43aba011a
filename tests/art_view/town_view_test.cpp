// The generated town and car drawn with the game's meshes, effects and lightmaps on the
// OpenGL backend; the pictures are kept in build/tests/art_pictures/ for people to look at.
#include <gtest/gtest.h>

#include <d3dx9.h>

#include <memory>
#include <vector>

#include "d3d9/drawing.h"
#include "engine/render/camera_view.h"
#include "engine/render/mesh/mesh.h"
#include "engine/render/mesh/mesh_instance.h"
#include "tests/art/generated_art.h"

namespace {

using namespace art_testing;

constexpr D3DCOLOR background = 0xFF6080A0;

class TownViewTest : public GeneratedArtTest {
protected:
    TownViewTest() : GeneratedArtTest(morvale_testing::DeviceKind::Gl, 640, 480) {}

    kesh::CameraView lookingAt(const D3DXVECTOR3& eye, const D3DXVECTOR3& at, float farPlane) {
        kesh::CameraView view;
        view.setProjection(0.9424778f, 640.0f / 480.0f, 0.5f, farPlane);
        D3DXMATRIX lookAt, camera;
        const D3DXVECTOR3 up(0, 1, 0);
        D3DXMatrixLookAtLH(&lookAt, &eye, &at, &up);
        D3DXMatrixInverse(&camera, nullptr, &lookAt);
        view.setTransform(camera);
        return view;
    }

    void begin() {
        ASSERT_EQ(
            device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, background, 1.0f, 0),
            D3D_OK);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
    }

    // Ends the scene and keeps the picture; the share of pixels left at the background.
    float finish(const std::string& name) {
        device->EndScene();
        EXPECT_TRUE(d3d9::readBackBuffer(device, image));
        EXPECT_TRUE(d3d9::writePng(image, std::string(MORVALE_PICTURES) + "/" + name + ".png"));
        int untouched = 0;
        for (UINT y = 0; y < image.height; ++y) {
            for (UINT x = 0; x < image.width; ++x) {
                untouched += (image.pixel(x, y) & 0xFFFFFF) == (background & 0xFFFFFF) ? 1 : 0;
            }
        }
        return static_cast<float>(untouched) / (image.width * image.height);
    }

    d3d9::BackBufferImage image;

    // Every static as the level draws them: its textures through "tex_0", its lightmap
    // through "tex_1".
    void drawTown(const kesh::CameraView& view) {
        const kesh::data::LevelData level = readLevel("levels/final_level.slev");
        ID3DXEffect* effect = kesh::theEffectCache->fetch("textured_mesh.fx");
        for (const kesh::data::StaticObject& s : level.statics) {
            kesh::MeshInstance instance(kesh::theMeshInfoCache->fetch(s.mesh + ".wfm"));
            instance.setTransform(s.transform);
            const std::string lightmap = s.lightmaps.empty() ? "--NOLIGHTMAP--" : s.lightmaps[0];
            effect->SetTexture(
                "tex_1", kesh::theTextureCache->fetch("lightmaps/level01/" + lightmap + ".dds"));
            instance.render(effect, view);
        }
    }
};

TEST_F(TownViewTest, TheTownSeenFromAboveItsSouthWestCorner) {
    begin();
    drawTown(lookingAt({60, 140, -600}, {330, 0, -300}, 1000.0f));
    // The town fills the picture below its horizon.
    EXPECT_LT(finish("town_from_above"), 0.7f);
}

TEST_F(TownViewTest, TheStreetsAtTheStartsSeenFromBehindTheCar) {
    const kesh::data::LevelData level = readLevel("levels/final_level.slev");
    int n = 0;
    for (const kesh::data::LocatorObject& start : level.locators) {
        if (start.tag != "start") {
            continue;
        }
        // Behind and above the start, looking along its heading (its z axis).
        const D3DXVECTOR3 at(start.transform._41, start.transform._42, start.transform._43);
        const D3DXVECTOR3 ahead(start.transform._31, start.transform._32, start.transform._33);
        begin();
        drawTown(lookingAt(at - ahead * 10.0f + D3DXVECTOR3(0, 3, 0), at + ahead * 30.0f, 600.0f));
        EXPECT_LT(finish("street_at_start" + std::to_string(++n)), 0.6f);
    }
    EXPECT_GE(n, 2);
}

TEST_F(TownViewTest, TheJeepAndTheGoalMarker) {
    const kesh::data::LevelData bundle = readLevel("levels/car.slev");
    const kesh::CameraView view = lookingAt({6, 3.5f, 7}, {0, -0.2f, 0}, 100.0f);
    ID3DXEffect* effect = kesh::theEffectCache->fetch("car.fx");
    begin();
    for (const kesh::data::StaticObject& s : bundle.statics) {
        kesh::MeshInstance instance(kesh::theMeshInfoCache->fetch(s.mesh + ".wfm"));
        instance.setTransform(s.transform);
        instance.render(effect, view);
    }
    kesh::MeshInstance marker(kesh::theMeshInfoCache->fetch("mercedes.wfm"));
    D3DXMATRIX scale, place, world;
    D3DXMatrixScaling(&scale, 0.5f, 0.5f, 0.5f);
    D3DXMatrixTranslation(&place, -3.5f, -1.1f, -2.5f);
    D3DXMatrixMultiply(&world, &scale, &place);
    marker.setTransform(world);
    marker.render(effect, view);
    const float untouched = finish("jeep_and_marker");
    EXPECT_LT(untouched, 0.95f);
    EXPECT_GT(untouched, 0.3f);
}

TEST_F(TownViewTest, TheGlobeShowsTheSkyAroundTheEye) {
    // As the play stage draws it: the text ".x" sphere with "car.fx" and its texture, centred
    // on the eye, seen through the game's far plane. Faces wound the wrong way would be
    // culled and leave the picture untouched.
    kesh::Mesh globe("sphere.x", "car.fx", "misc/Earth.dds", 0);
    begin();
    globe.render(lookingAt({0, 0, 0}, {0, 0.1f, 1}, 150.0f));
    EXPECT_LT(finish("globe"), 0.01f);
    // Blue sky above the horizon, grey haze below it.
    const D3DCOLOR sky = image.pixel(320, 40);
    EXPECT_GT(sky & 0xFF, (sky >> 16) & 0xFF);
    const D3DCOLOR haze = image.pixel(320, 460);
    EXPECT_LT(static_cast<int>(haze & 0xFF) - static_cast<int>((haze >> 16) & 0xFF), 20);
}

// The instruments as the car interface places them: world x scale x placement x projection,
// the eye at the origin looking along +z. The needle shows 40, the radar's mark sits a
// quarter turn right and half the signal bar is lit.
class InterfaceViewTest : public TownViewTest {
protected:
    void drawView(const std::string& file, float offsetX, float offsetY, float offsetZ, float size,
                  const std::string& partEffect, float needleAngle) {
        const kesh::data::LevelData level = readLevel(file);
        kesh::CameraView eye;
        eye.setProjection(0.9424778f, 640.0f / 480.0f, 0.1f, 100.0f);
        D3DXMATRIX scale, placement, post;
        D3DXMatrixScaling(&scale, size, size, size);
        D3DXMatrixTranslation(&placement, offsetX, offsetY, offsetZ);
        D3DXMatrixMultiply(&post, &scale, &placement);
        auto draw = [&](const std::string& mesh, const D3DXMATRIX& world,
                        const std::string& effect) {
            kesh::Mesh part(mesh, effect);
            part.render(eye, &world, &post);
        };
        auto locator = [&](int number) {
            for (const kesh::data::EffectObject& e : level.effects) {
                if (e.name == "locator" + std::to_string(number)) {
                    return e.transform;
                }
            }
            ADD_FAILURE() << "no locator" << number;
            return D3DXMATRIX();
        };
        for (const kesh::data::StaticObject& s : level.statics) {
            if (s.mesh == "arrow") {
                D3DXMATRIX turn, world;
                const D3DXVECTOR3 axis(0, 0, 1);
                D3DXMatrixRotationAxis(&turn, &axis, needleAngle);
                D3DXMatrixMultiply(&world, &turn, &s.transform);
                draw(s.mesh, world, partEffect);
            } else if (s.mesh == "direction_indicator") {
                draw(s.mesh, locator(28), "car_interface.fx");
            } else if (s.mesh == "distance_indicator") {
                for (int k = 37; k < 45; ++k) {
                    draw(s.mesh, locator(k), "car_interface.fx");
                }
            } else {
                draw(s.mesh, s.transform, partEffect);
            }
        }
    }
};

TEST_F(InterfaceViewTest, TheCockpit) {
    begin();
    drawView("levels/interior.slev", -0.2f, -0.4f, 1.2f, 0.1f, "car.fx",
             40 * 0.03926991f - 3.1415927f);
    const float untouched = finish("cockpit");
    EXPECT_LT(untouched, 0.9f);
    EXPECT_GT(untouched, 0.3f);
}

TEST_F(InterfaceViewTest, TheOutsideInstruments) {
    begin();
    drawView("levels/OnScreenInterface.slev", 0, 0, 3.0f, 0.2857143f, "car_interface.fx",
             40 * 0.058904864f - 4.712389f);
    const float untouched = finish("outside_instruments");
    EXPECT_LT(untouched, 0.97f);
    EXPECT_GT(untouched, 0.6f);
}

}  // namespace
