// The generated art folder: every file the game reads is there and loads through the
// game's own readers, and the content keeps the rules the game relies on.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <d3dx9.h>
#include <luabind/luabind.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

#include "engine/core/bounding_box.h"
#include "engine/render/mesh/mesh_info.h"
#include "engine/render/mesh/mesh_loaders.h"
#include "game/audio/music_segment_cache.h"
#include "game/audio/volume_curve.h"
#include "game/vehicle/params/car_params.h"
#include "tests/art/generated_art.h"
#include "win32/com_ptr.h"

namespace {

using namespace art_testing;
using kesh::data::LevelData;

// The samples of a generated 16-bit mono sound file.
std::vector<int> monoSamples(const std::string& sound) {
    const Bytes wav = readBytes("audio/" + sound);
    std::vector<int> samples(wav.size() > 44 ? (wav.size() - 44) / 2 : 0);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        std::int16_t v;
        std::memcpy(&v, wav.data() + 44 + 2 * i, 2);
        samples[i] = v;
    }
    return samples;
}

double rmsDecibels(const std::vector<int>& samples) {
    double power = 0.0;
    for (const int v : samples) {
        power += (v / 32768.0) * (v / 32768.0);
    }
    return 10.0 * std::log10(power / static_cast<double>(samples.size()) + 1e-20);
}

const char* const soundFiles[] = {
    "crash1.wav",     "crash2.wav",    "crash3.wav",  "skid1.wav",       "skid2.wav",
    "beep.wav",       "lose.wav",      "win.wav",     "engine_idle.wav", "engine_lo.wav",
    "engine_mid.wav", "engine_hi.wav", "video01.wav", "video02.wav",     "video03.wav",
    "video04.wav",    "video05.wav",   "battle1.wav"};

D3DXVECTOR3 positionOf(const D3DXMATRIX& m) {
    return {m._41, m._42, m._43};
}

kesh::BoundingBox worldBox(const kesh::BoundingBox& local, const D3DXMATRIX& world) {
    kesh::BoundingBox box;
    for (int i = 0; i < 8; ++i) {
        const D3DXVECTOR3 corner(i & 1 ? local.max.x : local.min.x,
                                 i & 2 ? local.max.y : local.min.y,
                                 i & 4 ? local.max.z : local.min.z);
        D3DXVECTOR3 p;
        D3DXVec3TransformCoord(&p, &corner, &world);
        if (i == 0) {
            box = kesh::BoundingBox(p, p);
        } else {
            box.extend(p);
        }
    }
    return box;
}

bool encloses(const kesh::BoundingBox& outer, const kesh::BoundingBox& inner) {
    const float e = 1e-4f;
    return inner.min.x >= outer.min.x - e && inner.min.y >= outer.min.y - e &&
           inner.min.z >= outer.min.z - e && inner.max.x <= outer.max.x + e &&
           inner.max.y <= outer.max.y + e && inner.max.z <= outer.max.z + e;
}

bool isIdentityRotationAndScale(const D3DXMATRIX& m) {
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) {
            if (std::fabs(m(r, c) - (r == c ? 1.0f : 0.0f)) > 1e-6f) {
                return false;
            }
        }
    }
    return true;
}

class ArtFolderTest : public GeneratedArtTest {
protected:
    kesh::MeshInfo* mesh(const std::string& name) {
        return kesh::theMeshInfoCache->fetch(kesh::ResourceId(name));
    }

    // Every material texture of a mesh, named as the mesh reader rewrites them.
    void expectMeshTextures(kesh::MeshInfo* info, const std::string& meshName) {
        ASSERT_NE(info, nullptr) << meshName;
        EXPECT_FALSE(info->textureNames.empty()) << meshName << " has no material";
        for (const std::string& texture : info->textureNames) {
            expectTextureFile(texture);
        }
    }
};

TEST_F(ArtFolderTest, EveryFileTheGameNamesIsThere) {
    for (const char* path : {"config/audio.lua",
                             "config/physics.lua",
                             "config/car.lua",
                             "config/effect_config.cmd",
                             "fx/global.fx",
                             "fx/textured_mesh.fx",
                             "fx/car.fx",
                             "fx/car_interface.fx",
                             "fx/effect_plain_mesh.fx",
                             "fx/billboard.fx",
                             "fx/decal.fx",
                             "fx/gui.fx",
                             "fx/video_playback.fx",
                             "fx/debug_render.fx",
                             "levels/final_level.slev",
                             "levels/car.slev",
                             "levels/interior.slev",
                             "levels/OnScreenInterface.slev",
                             "mesh/sphere.x",
                             "mesh/mercedes.wfm",
                             "texture/hi/gui/shell.tai",
                             "video/video01.rs",
                             "video/video02.rs"}) {
        EXPECT_TRUE(exists(path)) << path;
    }
    for (const char* sound : soundFiles) {
        EXPECT_TRUE(exists(std::string("audio/") + sound)) << sound;
    }
    for (int i = 1; i <= 15; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "audio/ambient%02d.wav", i);
        EXPECT_TRUE(exists(name)) << name;
    }
    expectTexture("misc/Earth");
    expectTexture("misc/tracks");
    expectTexture("effects/lamp_decal");
    expectTexture("lightmaps/level01/--NOLIGHTMAP--");
}

// The tests read the build's own folder: a test that tried to change it would change it
// for every test after it.
TEST_F(ArtFolderTest, TheGeneratedFolderIsOnlyRead) {
    ::testing::TestPartResultArray failures;
    {
        const ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        writeArt("config/stale.txt", std::string("left by a test"));
    }
    ASSERT_EQ(failures.size(), 1);
    EXPECT_NE(std::string(failures.GetTestPartResult(0).message()).find("existing art folder"),
              std::string::npos);
    EXPECT_FALSE(exists("config/stale.txt"));
}

// Kept in the build folder for people to look at: the atlas, the town from above and a
// frame of each video.
TEST_F(ArtFolderTest, ThePicturesOfTheArtAreKeptBesideTheBuild) {
    for (const char* picture : {"atlas_contact_sheet.png", "level_top_view.png",
                                "video01_frame.png", "video02_frame.png"}) {
        const std::string path = std::string(MORVALE_ART_PICTURES) + "/" + picture;
        std::ifstream in(path, std::ios::binary);
        const Bytes png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        D3DXIMAGE_INFO info{};
        win32::ComPtr<IDirect3DTexture9> texture;
        ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(
                      device, png.data(), static_cast<UINT>(png.size()), D3DX_DEFAULT, D3DX_DEFAULT,
                      1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0,
                      &info, nullptr, texture.out()),
                  D3D_OK)
            << path;
        EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PNG) << path;
        EXPECT_GE(info.Width, 320u) << path;
    }
}

TEST_F(ArtFolderTest, TheAudioScriptNamesOnlyFilesThatWereMade) {
    const std::string script = readText("config/audio.lua");
    std::size_t at = 0;
    int named = 0;
    while ((at = script.find("res(\"", at)) != std::string::npos) {
        const std::size_t end = script.find('"', at + 5);
        const std::string file = script.substr(at + 5, end - at - 5);
        EXPECT_TRUE(exists("audio/" + file)) << file;
        at = end;
        ++named;
    }
    EXPECT_GE(named, 15);
}

TEST_F(ArtFolderTest, SoundsLoadThroughTheMusicLoaderAndLoopsCloseUp) {
    for (const char* sound : soundFiles) {
        EXPECT_NE(kesh::theMusicCache->fetch(kesh::ResourceId(sound)), nullptr) << sound;
        kesh::theMusicCache->release(kesh::ResourceId(sound));
    }
    // A loop's last sample leads into its first as any two neighbours do.
    for (const char* loop : {"engine_idle.wav", "engine_lo.wav", "engine_mid.wav", "engine_hi.wav",
                             "video01.wav", "battle1.wav"}) {
        const std::vector<int> sample = monoSamples(loop);
        ASSERT_GT(sample.size(), 500u);
        int largestStep = 0;
        for (std::size_t i = 1; i < sample.size(); ++i) {
            largestStep = std::max(largestStep, std::abs(sample[i] - sample[i - 1]));
        }
        EXPECT_LE(std::abs(sample.front() - sample.back()), largestStep) << loop;
    }
}

TEST_F(ArtFolderTest, TheLevelsMusicIsHeardWithTheEngine) {
    // As the play stage plays them: the music at its master volume of 0.7, the engine's
    // idle loop at full volume and its low loop at 0.4 (the rest silent).
    const double music = rmsDecibels(monoSamples("battle1.wav")) + volumeToMillibels(0.7f) / 100.0;
    const double idle = rmsDecibels(monoSamples("engine_idle.wav"));
    const double low = rmsDecibels(monoSamples("engine_lo.wav")) + volumeToMillibels(0.4f) / 100.0;
    const double engine =
        10.0 * std::log10(std::pow(10.0, idle / 10.0) + std::pow(10.0, low / 10.0));
    EXPECT_GT(music, engine - 6.0);
    EXPECT_LT(music, engine + 3.0) << "the engine is not drowned either";
}

TEST_F(ArtFolderTest, TheGlobeLoadsAsTextX) {
    EXPECT_EQ(readText("mesh/sphere.x").rfind("xof 0303txt", 0), 0u);
    ID3DXMesh* globe = kesh::theMeshCache->fetch(kesh::ResourceId("sphere.x"));
    ASSERT_NE(globe, nullptr);
    EXPECT_GT(globe->GetNumFaces(), 500u);  // not the loader's default box

    // Drawn round the eye: seen only between the cameras' near planes (at most 1) and the
    // far plane (150).
    void* data = nullptr;
    ASSERT_EQ(globe->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
    const auto* bytes = static_cast<const unsigned char*>(data);
    float nearest = 1e30f, farthest = 0.0f;
    for (DWORD i = 0; i < globe->GetNumVertices(); ++i) {
        const auto* position =
            reinterpret_cast<const D3DXVECTOR3*>(bytes + i * globe->GetNumBytesPerVertex());
        nearest = std::min(nearest, D3DXVec3Length(position));
        farthest = std::max(farthest, D3DXVec3Length(position));
    }
    globe->UnlockVertexBuffer();
    EXPECT_GT(nearest, 2.0f);
    EXPECT_LT(farthest, 150.0f);
}

TEST_F(ArtFolderTest, TheTownKeepsTheRulesOfThePlayStage) {
    const LevelData level = readLevel("levels/final_level.slev");
    ASSERT_FALSE(level.statics.empty());

    kesh::BoundingBox statics;
    float ground = 1e30f;
    bool first = true;
    std::set<std::string> checkedMeshes;
    for (const kesh::data::StaticObject& s : level.statics) {
        kesh::MeshInfo* info = mesh(s.mesh + ".wfm");
        ASSERT_NE(info, nullptr) << s.mesh;
        ASSERT_GE(info->boxCount(), 1u) << s.mesh;
        const kesh::BoundingBox box = worldBox(*info->box(0), s.transform);
        if (first) {
            statics = box;
            first = false;
        } else {
            statics.merge(box);
        }
        ground = std::min(ground, box.max.y);
        if (s.flags & kesh::data::StaticObject::solidFlag) {
            EXPECT_GE(info->boxCount(), 2u) << s.mesh << " is solid without collision boxes";
        }
        // Lightmap (".tga" added to the name) in the lightmap folder, or the white default.
        expectTexture("lightmaps/level01/" +
                      (s.lightmaps.empty() ? "--NOLIGHTMAP--" : s.lightmaps[0]));
        if (checkedMeshes.insert(s.mesh).second) {
            expectMeshTextures(info, s.mesh);
        }
    }
    // The map screen's transform: x in [512 - W, 512], z in [-516, -516 + D].
    EXPECT_NEAR(statics.max.x, 512.0f, 0.01f);
    EXPECT_NEAR(statics.min.z, -516.0f, 0.01f);
    EXPECT_NEAR(ground, 0.0f, 1e-4f);

    std::vector<D3DXVECTOR3> starts, ends;
    for (const kesh::data::LocatorObject& l : level.locators) {
        const D3DXVECTOR3 p = positionOf(l.transform);
        EXPECT_TRUE(statics.contains(p)) << l.name << " lies outside the statics' box";
        if (l.tag.rfind("start", 0) == 0) {
            starts.push_back(p);
            EXPECT_GT(p.y, ground + 0.5f);
            EXPECT_LT(p.y, ground + 2.0f);
        } else if (l.tag.rfind("end", 0) == 0) {
            ends.push_back(p);
        }
    }
    ASSERT_EQ(starts.size(), ends.size());
    ASSERT_GE(starts.size(), 2u);
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const D3DXVECTOR3 d = ends[i] - starts[i];
        EXPECT_GT(D3DXVec3Length(&d), 200.0f) << "route " << i << " is too short";
        EXPECT_LT(D3DXVec3Length(&d), 1000.0f);
    }

    // The effects' names are checked through the effect manager (effects_test).
    int windows = 0;
    for (const kesh::data::EffectObject& e : level.effects) {
        EXPECT_FALSE(e.effect.empty()) << e.name;
        EXPECT_TRUE(statics.contains(positionOf(e.transform))) << e.name;
        EXPECT_TRUE(e.flags & kesh::data::EffectObject::enabledFlag) << e.name;
        windows += e.effect.rfind("win", 0) == 0 ? 1 : 0;
    }
    EXPECT_GT(windows, 20);
}

TEST_F(ArtFolderTest, EveryMeshsFirstBoxEnclosesItsOthers) {
    namespace fs = std::filesystem;
    int meshes = 0;
    for (const auto& entry : fs::directory_iterator(generatedRoot() + "mesh")) {
        if (entry.path().extension() != ".wfm") {
            continue;
        }
        const std::string name = entry.path().filename().string();
        kesh::MeshInfo* info = mesh(name);
        ASSERT_NE(info, nullptr) << name;
        ++meshes;
        ASSERT_GE(info->boxCount(), 1u) << name;
        for (std::size_t i = 1; i < info->boxCount(); ++i) {
            EXPECT_TRUE(encloses(*info->box(0), *info->box(i))) << name << " box " << i;
        }
        EXPECT_TRUE(encloses(*info->box(0), info->computeBoundingBox())) << name;
        expectMeshTextures(info, name);
    }
    EXPECT_GT(meshes, 30);
}

TEST_F(ArtFolderTest, TheCarBundleHoldsEveryObjectTheCarScriptNames) {
    const car::params::SCar car =
        luabind::object_cast<car::params::SCar>(kesh::theLuaConfig->runFileResult(L"car.lua"));
    const LevelData bundle = readLevel(car.object_bundle);
    std::map<std::string, const kesh::data::StaticObject*> objects;
    for (const kesh::data::StaticObject& s : bundle.statics) {
        objects[s.name] = &s;
    }
    for (const std::string& name : {car.object, car.antena, car.wheel1->object, car.wheel2->object,
                                    car.wheel3->object, car.wheel4->object}) {
        ASSERT_EQ(objects.count(name), 1u) << name;
        expectMeshTextures(mesh(objects[name]->mesh + ".wfm"), name);
    }
    // The body's box is the car's size: the car scales its body mesh by size / box.
    const kesh::BoundingBox body = mesh(objects[car.object]->mesh + ".wfm")->computeBoundingBox();
    EXPECT_NEAR(body.max.x - body.min.x, car.width, 1e-4f);
    EXPECT_NEAR(body.max.y - body.min.y, car.height, 1e-4f);
    EXPECT_NEAR(body.max.z - body.min.z, car.length, 1e-4f);
    // Wheel i sits at its mount point: x = (i mod 2 - 0.5) width, z = (0.5 - i div 2) 0.8 length.
    const std::string wheels[4] = {car.wheel1->object, car.wheel2->object, car.wheel3->object,
                                   car.wheel4->object};
    for (int i = 0; i < 4; ++i) {
        const D3DXVECTOR3 p = positionOf(objects[wheels[i]]->transform);
        EXPECT_NEAR(p.x, (i % 2 - 0.5f) * car.width, 1e-4f) << wheels[i];
        EXPECT_NEAR(p.z, (0.5f - i / 2) * 0.8f * car.length, 1e-4f) << wheels[i];
    }
}

TEST_F(ArtFolderTest, TheInterfaceViewsHaveTheirPartsAndLocators) {
    struct View {
        const char* file;
        std::vector<std::string> parts;
    };
    const View views[] = {
        {"levels/interior.slev",
         {"panel", "wheel", "arrow", "direction_indicator", "distance_indicator"}},
        {"levels/OnScreenInterface.slev",
         {"onScreen_radar", "onScreen_speed", "arrow", "direction_indicator",
          "distance_indicator"}},
    };
    for (const View& view : views) {
        const LevelData level = readLevel(view.file);
        for (const std::string& part : view.parts) {
            bool found = false;
            for (const kesh::data::StaticObject& s : level.statics) {
                found = found || s.mesh == part;
            }
            EXPECT_TRUE(found) << view.file << " lacks " << part;
            expectMeshTextures(mesh(part + ".wfm"), part);
        }
        std::map<std::string, D3DXMATRIX> locators;
        for (const kesh::data::EffectObject& e : level.effects) {
            locators.emplace(e.name, e.transform);
        }
        for (int k = 1; k <= 52; ++k) {
            const std::string name = "locator" + std::to_string(k);
            ASSERT_EQ(locators.count(name), 1u) << view.file << " " << name;
            EXPECT_TRUE(isIdentityRotationAndScale(locators[name])) << name;
        }
        // locator1 straight ahead (above the ring's centre), locator10 a quarter turn left.
        const D3DXVECTOR3 ahead = positionOf(locators["locator1"]);
        const D3DXVECTOR3 left = positionOf(locators["locator10"]);
        const D3DXVECTOR3 behind = positionOf(locators["locator19"]);
        EXPECT_NEAR(ahead.x, behind.x, 1e-4f);
        EXPECT_GT(ahead.y, behind.y);
        EXPECT_LT(left.x, ahead.x);
    }
}

}  // namespace
