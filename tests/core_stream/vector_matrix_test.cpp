#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/archive.h"
#include "tests/support/memory_source.h"
#include "tools/artlib/stream_writer.h"

using kesh::InputArchive;
using kesh::StreamReader;
using kesh::serialization::readVersioned;
using testing_support::MemorySource;

namespace {

// Holds the source, reader and archive over written bytes, with the header read.
struct Opened {
    explicit Opened(const artlib::StreamWriter& out) : source(out.bytes()), reader(&source) {}
    MemorySource source;
    StreamReader reader;
    InputArchive archive{&reader};
};

artlib::StreamWriter headed() {
    artlib::StreamWriter out;
    out.writeHeader();
    return out;
}

}  // namespace

TEST(VectorRecord, ReadsPlainElementsStringsAndNestedVectors) {
    artlib::StreamWriter out = headed();
    out.writeVector(std::vector<int>{-1, 2, 3},
                    [](artlib::StreamWriter& w, const int& v) { w.writeI32(v); });
    out.writeVector(std::vector<float>{0.5f},
                    [](artlib::StreamWriter& w, const float& v) { w.writeFloat(v); });
    out.writeStringVector({"a", "", "ccc"}, "std::vector");
    const std::vector<std::vector<int>> nested{{1}, {}, {2, 3}};
    out.writeVector(nested, [](artlib::StreamWriter& w, const std::vector<int>& inner) {
        w.writeVector(inner, [](artlib::StreamWriter& ww, const int& v) { ww.writeI32(v); });
    });

    Opened in(out);
    std::vector<int> ints;
    std::vector<float> floats;
    std::vector<std::string> strings;
    std::vector<std::vector<int>> readNested;
    readVersioned(in.archive, ints);
    readVersioned(in.archive, floats);
    readVersioned(in.archive, strings);
    readVersioned(in.archive, readNested);
    EXPECT_EQ(ints, (std::vector<int>{-1, 2, 3}));
    EXPECT_EQ(floats, std::vector<float>{0.5f});
    EXPECT_EQ(strings, (std::vector<std::string>{"a", "", "ccc"}));
    EXPECT_EQ(readNested, nested);
    EXPECT_FALSE(in.reader.eof());
    EXPECT_EQ(in.reader.remaining(), 0u);
}

TEST(VectorRecord, ZeroCountLeavesTheVectorAsItWas) {
    artlib::StreamWriter out = headed();
    out.writeVector(std::vector<int>{},
                    [](artlib::StreamWriter& w, const int& v) { w.writeI32(v); });
    out.writeU32(99);
    Opened in(out);
    std::vector<int> values{7, 8};
    readVersioned(in.archive, values);
    EXPECT_EQ(values, (std::vector<int>{7, 8}));
    std::uint32_t next = 0;
    in.reader.readU32(&next);
    EXPECT_EQ(next, 99u);  // no element was read
}

TEST(VectorRecord, CountThatCannotFitIsRefusedBeforeAllocating) {
    artlib::StreamWriter out = headed();
    out.writeVersion(0);
    out.writeU32(3);  // three ints need 12 bytes; only 8 follow
    out.writeI32(1);
    out.writeI32(2);
    Opened in(out);
    std::vector<int> values;
    try {
        readVersioned(in.archive, values);
        FAIL() << "no exception";
    } catch (const kesh::stream::error& e) {
        EXPECT_EQ(e.code, 1);
    }
    EXPECT_TRUE(values.empty());
    EXPECT_EQ(values.capacity(), 0u);

    artlib::StreamWriter huge = headed();
    huge.writeVersion(0);
    huge.writeU32(0xFFFFFFFFu);
    Opened hugeIn(huge);
    std::vector<std::string> strings;
    EXPECT_THROW(readVersioned(hugeIn.archive, strings), kesh::stream::error);
    EXPECT_EQ(strings.capacity(), 0u);
}

TEST(VectorRecord, CountPastTheEndReadsAsEmpty) {
    artlib::StreamWriter out = headed();
    out.writeVersion(0);  // and no count at all
    Opened in(out);
    std::vector<int> values;
    readVersioned(in.archive, values);
    EXPECT_TRUE(values.empty());
    EXPECT_TRUE(in.reader.eof());
}

TEST(VectorRecord, TooNewVectorVersionIsRefused) {
    artlib::StreamWriter out = headed();
    out.writeVersion(1);
    out.writeU32(0);
    Opened in(out);
    std::vector<int> values;
    try {
        readVersioned(in.archive, values);
        FAIL() << "no exception";
    } catch (const kesh::serialization::version_error& e) {
        EXPECT_EQ(e.found, 1u);
        EXPECT_EQ(e.supported, 0u);
        EXPECT_EQ(*e.type, typeid(std::vector<int>));
    }
}

TEST(MatrixRecord, SixteenFloatsRowByRow) {
    D3DXMATRIX written;
    for (int i = 0; i < 16; ++i) {
        written.m[i / 4][i % 4] = static_cast<float>(i) * 1.5f - 4.0f;
    }
    artlib::StreamWriter out = headed();
    out.writeMatrix(written, "D3DXMATRIX");
    out.writeMatrix(written);
    // Byte 4 of the plain record is _11 and byte 8 is _12.
    const std::size_t plain = out.bytes().size() - 68;
    float first = 0, second = 0;
    std::memcpy(&first, &out.bytes()[plain + 4], 4);
    std::memcpy(&second, &out.bytes()[plain + 8], 4);
    EXPECT_EQ(first, written._11);
    EXPECT_EQ(second, written._12);

    Opened in(out);
    D3DXMATRIX named, bare;
    readVersioned(in.archive, named);
    readVersioned(in.archive, bare);
    EXPECT_EQ(named, written);
    EXPECT_EQ(bare, written);
    EXPECT_FALSE(in.reader.eof());
}

TEST(TopLevelRecord, DataEndingInsideTheRecordIsAReadFailure) {
    artlib::StreamWriter out = headed();
    out.writeVersion(0);
    out.writeU32(2);
    out.writeI32(5);
    out.writeU16(1);  // the second int is cut in half
    MemorySource source(out.bytes());
    StreamReader reader(&source);
    std::vector<int> values;
    // Six bytes cannot hold two ints: refused as a read failure.
    try {
        kesh::serialization::readTopLevel(reader, values);
        FAIL() << "no exception";
    } catch (const kesh::stream::error& e) {
        EXPECT_EQ(e.code, 1);
    }

    artlib::StreamWriter shortString = headed();
    shortString.writeVersion(0);
    shortString.writeU32(1);
    shortString.writeU32(10);
    shortString.writeBytes("abc", 3);
    MemorySource stringSource(shortString.bytes());
    StreamReader stringReader(&stringSource);
    std::vector<std::string> strings;
    try {
        kesh::serialization::readTopLevel(stringReader, strings);
        FAIL() << "no exception";
    } catch (const kesh::stream::error& e) {
        EXPECT_EQ(e.code, 1);
    }
    ASSERT_EQ(strings.size(), 1u);
    EXPECT_EQ(strings[0], "abc#######");  // what was read stays with the caller

    artlib::StreamWriter whole = headed();
    whole.writeVector(std::vector<int>{4},
                      [](artlib::StreamWriter& w, const int& v) { w.writeI32(v); });
    whole.writeU32(0xDEADBEEF);  // trailing bytes are ignored
    MemorySource wholeSource(whole.bytes());
    StreamReader wholeReader(&wholeSource);
    std::vector<int> complete;
    kesh::serialization::readTopLevel(wholeReader, complete);
    EXPECT_EQ(complete, std::vector<int>{4});
}
