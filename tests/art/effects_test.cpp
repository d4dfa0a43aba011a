// The generated effects through the effect manager, as the play stage loads them: the list
// read whole, every effect text parsed without a warning, every effect the level's locators
// or the car name known and made live, with the meshes and textures its components draw.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "engine/core/strings.h"
#include "engine/render/mesh/mesh_loaders.h"
#include "engine/render/visual_effects/effect_manager.h"
#include "tests/art/art_log.h"
#include "tests/art/generated_art.h"

namespace {

using namespace art_testing;

class EffectArtTest : public GeneratedArtTest {
protected:
    void SetUp() override {
        GeneratedArtTest::SetUp();
        captureComplaints();
        kesh::theEffectManager->readEffectList(kesh::toWide(artRoot() + "config/"),
                                               L"effect_config.cmd");
    }

    const kesh::EffectLibrary& library() const { return kesh::theEffectManager->getLibrary(); }
};

TEST_F(EffectArtTest, TheListReadsWholeAndEveryTextParsesWithoutAWarning) {
    // The reading stops at the first failure; what failed is logged on "debug".
    ASSERT_FALSE(linesOf("debug").empty()) << "the reader's lines are not seen";
    for (const std::string& line : linesOf("debug")) {
        EXPECT_EQ(line.find("Failed"), std::string::npos) << line;
    }
    EXPECT_EQ(describeComplaints(), "");
    const auto entries = effectListEntries();
    EXPECT_EQ(library().size(), entries.size());
    for (const auto& [name, file] : entries) {
        // The game opens these with C++ streams: a name that differs in case only is found
        // here, not on every system.
        EXPECT_TRUE(exists("config/" + file)) << name << ": " << file;
        const kesh::effect::EffectParams* params = library().find(name);
        ASSERT_NE(params, nullptr) << name;
        EXPECT_FALSE(params->plainMeshes.empty() && params->billboards.empty())
            << name << " has no component";
    }
}

TEST_F(EffectArtTest, EveryEffectTheLevelOrTheCarNamesIsKnownAndComesAlive) {
    std::set<std::string> used = {"car_light"};
    for (const kesh::data::EffectObject& e : readLevel("levels/final_level.slev").effects) {
        used.insert(e.effect);
    }
    EXPECT_GT(used.size(), 2u);
    for (const std::string& name : used) {
        EXPECT_NE(library().find(name), nullptr) << name << " is not in the effect list";
        // Empty when the description names a mesh that cannot be fetched.
        EXPECT_TRUE(kesh::theEffectManager->createEffect(name)) << name;
    }
    EXPECT_EQ(describeComplaints(), "");
}

TEST_F(EffectArtTest, EveryMeshAndTextureTheComponentsDrawLoads) {
    for (const auto& [name, file] : effectListEntries()) {
        const kesh::effect::EffectParams* params = library().find(name);
        ASSERT_NE(params, nullptr) << name;
        for (const kesh::effect::PlainMeshComponentParams& mesh : params->plainMeshes) {
            EXPECT_NE(kesh::theMeshInfoCache->fetch(mesh.mesh), nullptr) << name;
            expectTextureFile(mesh.texture.id);
        }
        for (const kesh::effect::BillboardComponentParams& billboard : params->billboards) {
            expectTextureFile(billboard.texture.id);
        }
    }
    EXPECT_EQ(describeComplaints(), "");
}

}  // namespace
