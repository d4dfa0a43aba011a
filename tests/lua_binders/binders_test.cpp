// Links the vehicle and audio libraries (and through them the render engine) without referring
// to anything in them: every binder must still be there, in its place.
#include <gtest/gtest.h>

#include <vector>

#include "engine/core/lua/lua_binder_registry.h"
#include "tests/core_lua/lua_fixture.h"

TEST(LuaBinders, EveryBinderIsLinkedInItsPlace) {
    std::vector<int> places;
    for (const kesh::LuaBinderEntry& entry : kesh::LuaBinderRegistry::instance()) {
        places.push_back(entry.place);
    }
    EXPECT_EQ(places, (std::vector<int>{kesh::kPhysicsParamsBinder, kesh::kSoundBinder,
                                        kesh::kRandomSoundBinder, kesh::kCombinedSoundBinder,
                                        kesh::kSoundsPerformanceBinder, kesh::kCarParamsBinder,
                                        kesh::kEffectParamsBinder}));
}

typedef testing_lua::LuaTest LuaBindersRun;

TEST_F(LuaBindersRun, EveryClassExistsAfterTheRun) {
    for (const char* name :
         {"physics.Surface", "physics.Collisions", "Sound", "RandomSound", "CombinedSound",
          "SoundsPerformance", "__base_morvale_mesh", "CarWheel", "BasicWheel", "CarController",
          "Camera", "Car", "Effect", "_Component", "PlainMeshComponent", "BillboardComponent",
          "res", "vec3", "__vec3"}) {
        EXPECT_EQ(runSnippet(std::string("assert(") + name + " ~= nil)"), "") << name;
    }
    // A Car is a __base_morvale_mesh to scripts.
    EXPECT_EQ(runSnippet("local c = Car()\nc.object = 'body'\nassert(c.object == 'body')"), "");
}

TEST_F(LuaBindersRun, OperatorsOnGameClassesAreRunErrors) {
    for (const char* call : {"SoundsPerformance()()", "return 1 + SoundsPerformance()",
                             "return nil < Car()", "return 'x' .. Car()", "return #Car()"}) {
        const std::string error = runSnippet(call);
        EXPECT_NE(error.find("operator defined."), std::string::npos) << call << ": " << error;
    }
}
