#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "game/data/level_data.h"
#include "tests/support/memory_source.h"
#include "tests/support/sample_data.h"
#include "tools/artlib/level_writer.h"

using kesh::data::LevelData;
using kesh::data::LocatorObject;
using kesh::data::StaticObject;
using testing_support::MemorySource;
using testing_support::sampleLevel;

namespace {

LevelData readLevel(const std::vector<std::uint8_t>& bytes) {
    MemorySource source(bytes);
    kesh::StreamReader reader(&source);
    LevelData level;
    kesh::data::readLevelFile(reader, level);
    return level;
}

kesh::serialization::version_error versionErrorOf(const std::vector<std::uint8_t>& bytes) {
    try {
        readLevel(bytes);
    } catch (const kesh::serialization::version_error& e) {
        return e;
    }
    ADD_FAILURE() << "no version error";
    return kesh::serialization::version_error(0, 0, typeid(void));
}

}  // namespace

TEST(LevelData, EveryRecordRoundTripsAtItsNewestVersion) {
    const LevelData written = sampleLevel();
    EXPECT_EQ(readLevel(artlib::levelFileBytes(written)), written);

    artlib::LevelWriteOptions named;
    named.classNames = true;
    EXPECT_EQ(readLevel(artlib::levelFileBytes(written, named)), written);

    EXPECT_EQ(readLevel(artlib::levelFileBytes(LevelData())), LevelData());
}

TEST(LevelData, VersionZeroStaticsHaveNoExtraWord) {
    artlib::LevelWriteOptions options;
    options.staticObject = 0;
    const LevelData written = sampleLevel();
    const auto v0 = artlib::levelFileBytes(written, options);
    EXPECT_EQ(artlib::levelFileBytes(written).size() - v0.size(), 4u * written.statics.size());

    const LevelData read = readLevel(v0);
    ASSERT_EQ(read.statics.size(), 2u);
    EXPECT_EQ(read.statics[0].extra, 0u);
    EXPECT_EQ(read.statics[0].lightmaps, written.statics[0].lightmaps);
    EXPECT_EQ(read.statics[1].mesh, written.statics[1].mesh);
    EXPECT_EQ(read.decals, written.decals);  // everything after stays in step
}

TEST(LevelData, VersionZeroLocatorsHaveNoTag) {
    artlib::LevelWriteOptions options;
    options.locatorObject = 0;
    const LevelData written = sampleLevel();
    const LevelData read = readLevel(artlib::levelFileBytes(written, options));
    ASSERT_EQ(read.locators.size(), 2u);
    EXPECT_EQ(read.locators[0].tag, "");
    EXPECT_EQ(read.locators[1].name, "end");
    EXPECT_EQ(read.locators[1].transform, written.locators[1].transform);
    EXPECT_EQ(read.decals, written.decals);
}

TEST(LevelData, VersionOneLocatorIsTagFirstThenHead) {
    // Written by hand so that the layout is checked independently of the writer.
    artlib::StreamWriter out;
    out.writeHeader();
    out.writeVersion(0x80000000u, "class kesh::data::LevelData");  // version 0, named
    out.writeString("lvl");
    for (int list = 0; list < 4; ++list) {
        out.writeVersion(0);
        out.writeU32(0);
    }
    out.writeVersion(0);
    out.writeU32(1);
    out.writeVersion(1);
    out.writeString("finish");  // tag
    out.writeU32(77);           // id
    out.writeString("loc");     // name
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, 4, 5, 6);
    out.writeMatrix(m);
    out.writeU16(9);  // flags
    out.writeVersion(0);
    out.writeU32(0);

    const LevelData read = readLevel(out.bytes());
    EXPECT_EQ(read.name, "lvl");
    ASSERT_EQ(read.locators.size(), 1u);
    const LocatorObject& locator = read.locators[0];
    EXPECT_EQ(locator.tag, "finish");
    EXPECT_EQ(locator.id, 77u);
    EXPECT_EQ(locator.name, "loc");
    EXPECT_EQ(locator.transform._42, 5.0f);
    EXPECT_EQ(locator.flags, 9);
    EXPECT_TRUE(read.decals.empty());
}

TEST(LevelData, VersionsAboveTheMaximumAreRefusedNamingTheRecord) {
    const LevelData level = sampleLevel();
    struct Case {
        std::uint32_t artlib::LevelWriteOptions::*field;
        std::uint32_t version;
        std::uint32_t supported;
        const std::type_info& type;
    };
    const Case cases[] = {
        {&artlib::LevelWriteOptions::levelData, 1, 0, typeid(LevelData)},
        {&artlib::LevelWriteOptions::staticObject, 2, 1, typeid(StaticObject)},
        {&artlib::LevelWriteOptions::effectObject, 1, 0, typeid(kesh::data::EffectObject)},
        {&artlib::LevelWriteOptions::waterObject, 1, 0, typeid(kesh::data::WaterObject)},
        {&artlib::LevelWriteOptions::treeObject, 1, 0, typeid(kesh::data::TreeObject)},
        {&artlib::LevelWriteOptions::locatorObject, 2, 1, typeid(LocatorObject)},
        {&artlib::LevelWriteOptions::decalObject, 1, 0, typeid(kesh::data::DecalObject)},
    };
    for (const Case& c : cases) {
        artlib::LevelWriteOptions options;
        options.*c.field = c.version;
        const auto error = versionErrorOf(artlib::levelFileBytes(level, options));
        EXPECT_EQ(error.code, 3);
        EXPECT_EQ(error.found, c.version);
        EXPECT_EQ(error.supported, c.supported);
        EXPECT_EQ(*error.type, c.type) << c.type.name();
    }
}

TEST(LevelData, RecordsReadBeforeAFailureStayWithTheCaller) {
    artlib::LevelWriteOptions options;
    options.locatorObject = 2;
    MemorySource source(artlib::levelFileBytes(sampleLevel(), options));
    kesh::StreamReader reader(&source);
    LevelData level;
    EXPECT_THROW(kesh::data::readLevelFile(reader, level), kesh::serialization::version_error);
    EXPECT_EQ(level.name, "harbour");
    EXPECT_EQ(level.statics.size(), 2u);
    EXPECT_EQ(level.trees.size(), 1u);
    EXPECT_TRUE(level.decals.empty());
}

TEST(LevelData, EveryTruncationIsAReadFailureOrAnIncorrectFile) {
    const auto bytes = artlib::levelFileBytes(sampleLevel());
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + length);
        try {
            readLevel(cut);
            ADD_FAILURE() << "a level cut to " << length << " bytes was accepted";
        } catch (const kesh::serialization::version_error&) {
            ADD_FAILURE() << "version error at " << length;
        } catch (const kesh::stream::error& e) {
            EXPECT_EQ(e.code, length < 6 ? 0 : 1) << "length " << length;
        }
    }
}

TEST(LevelData, ReadsFromAFileOnDisk) {
    const std::string path = ::testing::TempDir() + "level_data_test.slev";
    artlib::StreamWriter out;
    out.writeHeader(1, 2, "made by the test");
    artlib::writeLevelData(out, sampleLevel());
    out.save(path);

    auto source = kesh::openStreamSource(std::wstring(path.begin(), path.end()));
    ASSERT_NE(source, nullptr);
    kesh::StreamReader reader(source.get());
    LevelData level;
    kesh::data::readLevelFile(reader, level);
    EXPECT_EQ(level, sampleLevel());
    std::remove(path.c_str());

    // A missing level fails on its first read.
    auto missing = kesh::openStreamSource(std::wstring(path.begin(), path.end()));
    kesh::StreamReader missingReader(missing.get());
    try {
        kesh::data::readLevelFile(missingReader, level);
        FAIL() << "no exception";
    } catch (const kesh::stream::error& e) {
        EXPECT_EQ(e.code, 1);
    }
}
