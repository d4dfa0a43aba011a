#include <gtest/gtest.h>
#include <lua.hpp>

#include <vector>

#include "engine/core/lua/lua_binder_registry.h"

namespace {

std::vector<int> ran;

void first(lua_State*) {
    ran.push_back(1);
}
void second(lua_State*) {
    ran.push_back(2);
}
void secondToo(lua_State*) {
    ran.push_back(22);
}
void third(lua_State*) {
    ran.push_back(3);
}

// The registry is process-wide: each test works on an empty one and puts back what was there.
class RegistryTest : public ::testing::Test {
protected:
    RegistryTest() : saved_(kesh::LuaBinderRegistry::instance()) {
        kesh::LuaBinderRegistry::instance().clear();
        ran.clear();
    }
    ~RegistryTest() override { kesh::LuaBinderRegistry::instance() = saved_; }

    std::vector<kesh::LuaBinderEntry> saved_;
};

}  // namespace

TEST_F(RegistryTest, BindersRunByPlaceWhateverTheOrderAdded) {
    kesh::LuaBinderRegistry::add(third, 3);
    kesh::LuaBinderRegistry::add(second, 2);
    kesh::LuaBinderRegistry::add(first, 1);
    kesh::LuaBinderRegistry::add(secondToo, 2);
    kesh::LuaBinderRegistry::runAll(nullptr);
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 22, 3}));
    ASSERT_EQ(kesh::LuaBinderRegistry::instance().size(), 4u);
    EXPECT_EQ(kesh::LuaBinderRegistry::instance()[2].binder, &secondToo);
}
