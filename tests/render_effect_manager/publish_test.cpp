// A published service pointer owns its object: publishing another destroys it, withdrawing
// destroys it and leaves null.
#include <gtest/gtest.h>

#include "engine/core/publish.h"

namespace {

struct Service {
    explicit Service(int* deaths) : deaths(deaths) {}
    ~Service() { ++*deaths; }
    int* deaths;
};

TEST(Publish, ReplacingAndWithdrawingDestroyWhatWasHeld) {
    Service* slot = nullptr;
    int deaths = 0;
    kesh::publish(slot, std::make_unique<Service>(&deaths));
    Service* first = slot;
    ASSERT_NE(first, nullptr);
    kesh::publish(slot, std::make_unique<Service>(&deaths));
    EXPECT_EQ(deaths, 1);
    EXPECT_NE(slot, nullptr);
    kesh::withdraw(slot);
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(slot, nullptr);
    kesh::withdraw(slot);
    EXPECT_EQ(deaths, 2);
}

TEST(Publish, PublishingTheHeldObjectAgainKeepsIt) {
    int deaths = 0;
    Service* slot = nullptr;
    kesh::publish(slot, std::make_unique<Service>(&deaths));
    kesh::publish(slot, std::unique_ptr<Service>(slot));
    EXPECT_EQ(deaths, 0);
    kesh::withdraw(slot);
    EXPECT_EQ(deaths, 1);
}

}  // namespace
