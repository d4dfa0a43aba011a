// The chase camera's view of the car after a second of driving on a generated level, drawn
// through the OpenGL backend: green ground, two red houses, the blue car in the middle of
// the picture.
#include <gtest/gtest.h>

#include <d3d9/drawing.h>
#include <d3d9/seams.h>

#include <string>

#include "tests/support/art_files.h"
#include "tests/vehicle_car/car_fixture.h"
#include "tests/world_level/level_fixture.h"

namespace {

using namespace level_testing;

constexpr D3DCOLOR kClear = 0xFF000000;
constexpr D3DCOLOR kGround = 0xFF30A030;
constexpr D3DCOLOR kWall = 0xFFC03020;
constexpr D3DCOLOR kPaint = 0xFF2040E0;

class LevelPicture : public LevelTest {
protected:
    LevelPicture() : LevelTest(morvale_testing::DeviceKind::Gl) {}

    void SetUp() override {
        LevelTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        carMaker = makeJeep;
        writeArt("levels/car.slev", artlib::levelFileBytes(car_testing::carBundle()));
        writeArt("config/car.lua", car_testing::carScript());
        for (const kesh::data::StaticObject& object : car_testing::carBundle().statics) {
            writeArt("mesh/" + object.mesh + ".wfm",
                     boxMeshFile({-1, -0.5f, -2}, {1, 0.5f, 2}, {}, "paint.tga"));
        }
        writeArt("mesh/slab.wfm",
                 boxMeshFile({-100, -1, -100}, {100, 0, 100},
                             {partBox(-100, -1, -100, 100, 0, 100)}, "ground.tga"));
        writeArt("mesh/house.wfm",
                 boxMeshFile({-5, 0, -5}, {5, 8, 5}, {partBox(-5, 0, -5, 5, 8, 5)}));
        writeArt("texture/hi/ground.dds", morvale_testing::solidDds(4, 4, kGround));
        writeArt("texture/hi/wall.dds", morvale_testing::solidDds(4, 4, kWall));
        writeArt("texture/hi/paint.dds", morvale_testing::solidDds(4, 4, kPaint));
        writeArt("texture/hi/lightmaps/solid.tga", tgaFile(0xFFFFFFFF));
        kesh::data::LevelData data;
        data.statics = {staticRecord(1, "slab", placedAt(0, 0, 0), 4, {"solid"}),
                        staticRecord(2, "house", placedAt(10, 0, -50), 4, {"solid"}),
                        staticRecord(3, "house", placedAt(-12, 0, -40), 4, {"solid"})};
        data.locators = {locatorRecord("spawn", "start", placedAt(0, 3, -80)),
                         locatorRecord("goal", "end", placedAt(0, 0, 80))};
        writeLevel(data);
    }
};

TEST_F(LevelPicture, TheChaseCameraShowsTheCarOnTheGround) {
    ASSERT_EQ(d3d9::deviceRecord(device), nullptr) << "the device does not draw";
    build();
    for (int i = 0; i < 60; ++i) {
        frame(1.0 / 60.0);
    }
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClear, 1.0f, 0),
              D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    level->render(level->view(), clock);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    d3d9::BackBufferImage image;
    ASSERT_TRUE(d3d9::readBackBuffer(device, image));
    EXPECT_TRUE(d3d9::writePng(image, std::string(MORVALE_PICTURES) + "/LevelPicture.chase.png"));

    // The ground fills the bottom row; the car sits in the middle of the picture.
    auto green = [](D3DCOLOR c) { return ((c >> 8) & 0xFF) > 2 * ((c >> 16) & 0xFF); };
    auto blue = [](D3DCOLOR c) { return (c & 0xFF) > 2 * ((c >> 16) & 0xFF); };
    EXPECT_TRUE(green(image.pixel(160, 235)));
    int carPixels = 0;
    for (UINT y = 80; y < 200; ++y) {
        for (UINT x = 110; x < 210; ++x) {
            carPixels += blue(image.pixel(x, y)) ? 1 : 0;
        }
    }
    EXPECT_GT(carPixels, 200);
}

}  // namespace
