#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/core/resource/resource_cache.h"

namespace {

struct Resource {
    std::string name;
};

// Counts loads and releases; refuses names that start with "bad".
class CountingLoader : public kesh::ResourceLoader<Resource> {
public:
    Resource* load(const kesh::ResourceId& id) override {
        loads.push_back(id.id);
        if (id.id.compare(0, 3, "bad") == 0) {
            return nullptr;
        }
        return new Resource{id.id};
    }
    void release(Resource*& resource) override {
        released.push_back(resource->name);
        delete resource;
        resource = nullptr;
    }

    std::vector<std::string> loads;
    std::vector<std::string> released;
};

class ResourceCacheTest : public ::testing::Test {
protected:
    boost::shared_ptr<CountingLoader> loader = boost::make_shared<CountingLoader>();
};

}  // namespace

TEST_F(ResourceCacheTest, SameIdentifierLoadsOnceAndGivesTheSamePointer) {
    kesh::ResourceCache<Resource> cache(loader);
    Resource* first = cache.fetch(kesh::ResourceId("a.dds"));
    Resource* second = cache.fetch(kesh::ResourceId("a.dds"));
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->name, "a.dds");
    EXPECT_NE(cache.fetch(kesh::ResourceId("b.dds")), first);
    EXPECT_EQ(loader->loads, (std::vector<std::string>{"a.dds", "b.dds"}));
}

TEST_F(ResourceCacheTest, ReleasedIdentifierLoadsAgain) {
    kesh::ResourceCache<Resource> cache(loader);
    cache.fetch(kesh::ResourceId("a"));
    cache.release(kesh::ResourceId("a"));
    cache.release(kesh::ResourceId("never fetched"));
    cache.fetch(kesh::ResourceId("a"));
    EXPECT_EQ(loader->loads.size(), 2u);
    EXPECT_EQ(loader->released, (std::vector<std::string>{"a"}));
}

TEST_F(ResourceCacheTest, FailedLoadThrowsAndCachesNothing) {
    kesh::ResourceCache<Resource> cache(loader);
    try {
        cache.fetch(kesh::ResourceId("bad/x.dds"));
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Failed to fetch resource: bad/x.dds");
    }
    EXPECT_EQ(cache.size(), 0u);
    EXPECT_THROW(cache.fetch(kesh::ResourceId("bad/x.dds")), std::runtime_error);
    EXPECT_EQ(loader->loads.size(), 2u);
}

TEST_F(ResourceCacheTest, ReleaseAllAndDestructionFreeEveryEntry) {
    {
        kesh::ResourceCache<Resource> cache(loader);
        cache.fetch(kesh::ResourceId("a"));
        cache.fetch(kesh::ResourceId("b"));
        cache.releaseAll();
        EXPECT_EQ(cache.size(), 0u);
        EXPECT_EQ(loader->released.size(), 2u);
        cache.fetch(kesh::ResourceId("c"));
        cache.fetch(kesh::ResourceId("d"));
    }
    EXPECT_EQ(loader->released.size(), 4u);
    EXPECT_EQ(loader.use_count(), 1);
}

TEST(ResourceName, HashFollowsTheSampledSum) {
    EXPECT_EQ(kesh::hashResourceName(""), 0xDEADBEEFu);
    EXPECT_EQ(kesh::hashResourceName("a"), 0xDEADBF50u);
    // 16 characters: step 2, indices 0, 2, ..., 14.
    const std::string sixteen = "abcdefghijklmnop";
    std::uint32_t expected = 0xDEADBEEFu;
    for (std::size_t i = 0; i < 16; i += 2) {
        expected += static_cast<unsigned char>(sixteen[i]);
    }
    EXPECT_EQ(kesh::hashResourceName(sixteen), expected);
    // Up to 15 characters every one counts.
    EXPECT_NE(kesh::hashResourceName("abcdefghijklmno"), kesh::hashResourceName("abcdefghijklmnX"));
    // Long names read 16 samples at most: a change between samples is not seen.
    const std::string longName(100, 'x');
    std::string changed = longName;
    changed[1] = 'y';
    EXPECT_EQ(kesh::hashResourceName(longName), kesh::hashResourceName(changed));
}

TEST(ResourceName, HighBytesCountAsNegative) {
    EXPECT_EQ(kesh::hashResourceName("\xff"), 0xDEADBEEFu - 1u);
    EXPECT_EQ(kesh::hashResourceName(std::string("\x80", 1)), 0xDEADBEEFu - 128u);
}
