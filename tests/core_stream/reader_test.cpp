#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/archive.h"
#include "engine/core/stream_error.h"
#include "engine/core/stream_reader.h"
#include "tests/support/memory_source.h"
#include "tools/artlib/stream_writer.h"

using kesh::InputArchive;
using kesh::StreamReader;
using testing_support::FailingSource;
using testing_support::MemorySource;

namespace {

struct Probe {
    std::uint32_t value = 0;
};
void readBody(InputArchive& archive, Probe& probe, std::uint32_t version) {
    archive.reader->readU32(&probe.value);
    probe.value += version * 1000;
}

struct NewerProbe {};
void readBody(InputArchive&, NewerProbe&, std::uint32_t) {}

std::vector<std::uint8_t> withHeader(void (*body)(artlib::StreamWriter&)) {
    artlib::StreamWriter out;
    out.writeHeader(1, 2, "hdr");
    body(out);
    return out.bytes();
}

int errorCode(void (*action)()) {
    try {
        action();
    } catch (const kesh::stream::error& e) {
        return e.code;
    }
    return -1;
}

}  // namespace

namespace kesh {
namespace serialization {
template <>
struct supported_version<NewerProbe> : std::integral_constant<std::uint32_t, 1> {};
}  // namespace serialization
}  // namespace kesh

TEST(StreamReader, ReadsLittleEndianValuesAndChains) {
    MemorySource source(
        std::vector<std::uint8_t>{0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0, 0, 0x80, 0x3f});
    StreamReader reader(&source);
    std::uint16_t small = 0;
    std::uint32_t word = 0;
    float one = 0.0f;
    reader.readU16(&small).readU32(&word).readU32(&one);
    EXPECT_EQ(small, 0x1234);
    EXPECT_EQ(word, 0x12345678u);
    EXPECT_EQ(one, 1.0f);
    EXPECT_FALSE(reader.eof());
    EXPECT_EQ(reader.remaining(), 0u);
}

TEST(StreamReader, ShortReadSetsEofAndKeepsTheMissingBytes) {
    MemorySource source(std::vector<std::uint8_t>{0x11, 0x22});
    StreamReader reader(&source);
    std::uint32_t word = 0xAAAAAAAAu;
    reader.readU32(&word);
    EXPECT_TRUE(reader.eof());
    EXPECT_FALSE(reader.bad());
    EXPECT_EQ(word, 0xAAAA2211u);
    char byte = 'x';
    EXPECT_EQ(reader.read(&byte, 1), 0u);  // no exception at the end of the data
    EXPECT_EQ(byte, 'x');
}

TEST(StreamReader, WithoutASourceEveryReadThrowsReadFailed) {
    StreamReader reader(nullptr);
    EXPECT_TRUE(reader.bad());
    std::uint32_t word = 0;
    try {
        reader.readU32(&word);
        FAIL() << "no exception";
    } catch (const kesh::stream::error& e) {
        EXPECT_EQ(e.code, 1);
    }
    EXPECT_EQ(reader.remaining(), 0u);
}

TEST(StreamReader, AFailingSourceMakesTheReaderBadThenThrows) {
    FailingSource source;
    StreamReader reader(&source);
    char buffer[4];
    EXPECT_EQ(reader.read(buffer, 4), 0u);
    EXPECT_TRUE(reader.bad());
    EXPECT_THROW(reader.read(buffer, 4), kesh::stream::error);
    EXPECT_EQ(source.reads, 1);

    FailingSource again;
    StreamReader stringReader(&again);
    std::string text = "keep";
    stringReader.readString(text);
    EXPECT_EQ(text, "keep");
}

TEST(StreamReader, StringsArePaddedWithHashesWhenTruncated) {
    MemorySource whole(std::string("\x03\0\0\0abc", 7));
    StreamReader reader(&whole);
    std::string text;
    reader.readString(text);
    EXPECT_EQ(text, "abc");
    EXPECT_FALSE(reader.eof());

    MemorySource cut(std::string("\x05\0\0\0ab", 6));
    StreamReader cutReader(&cut);
    std::string partial;
    cutReader.readString(partial);
    EXPECT_EQ(partial, "ab###");
    EXPECT_TRUE(cutReader.eof());

    MemorySource empty(std::string("\0\0\0\0", 4));
    StreamReader emptyReader(&empty);
    std::string none;
    emptyReader.readString(none);
    EXPECT_EQ(none, "");

    // A length wholly past the end reads as 0.
    MemorySource nothingLeft(std::string("ab", 2));
    StreamReader endReader(&nothingLeft);
    char skip[2];
    endReader.read(skip, 2);
    std::string nothing;
    endReader.readString(nothing);
    EXPECT_EQ(nothing, "");
    EXPECT_TRUE(endReader.eof());
}

TEST(StreamReader, StringLongerThanTheWholeDataIsRefusedBeforeAllocating) {
    MemorySource source(
        std::string("\xff\xff\xff\x7f"
                    "abc",
                    7));
    StreamReader reader(&source);
    std::string text;
    try {
        reader.readString(text);
        FAIL() << "no exception";
    } catch (const kesh::stream::error& e) {
        EXPECT_EQ(e.code, 1);
    }
    EXPECT_TRUE(text.empty());
    EXPECT_LT(text.capacity(), 1000u);
}

TEST(StreamHeader, MinimalHeaderLeavesTheReaderAfterIt) {
    artlib::StreamWriter out;
    out.writeHeader(7, 9, "");
    ASSERT_EQ(out.bytes().size(), 18u);
    MemorySource source(out.bytes());
    StreamReader reader(&source);
    InputArchive archive(&reader);
    EXPECT_EQ(archive.header.first, 7u);
    EXPECT_EQ(archive.header.second, 9u);
    EXPECT_EQ(archive.header.text, "");
    EXPECT_EQ(source.position(), 18u);
    EXPECT_FALSE(reader.eof());
}

TEST(StreamHeader, WrongOrShortMagicIsAnIncorrectFile) {
    auto codeFor = [](const std::string& bytes) {
        MemorySource source(bytes);
        StreamReader reader(&source);
        try {
            InputArchive archive(&reader);
        } catch (const kesh::stream::error& e) {
            return std::make_pair(e.code, source.position());
        }
        return std::make_pair(-1, source.position());
    };
    EXPECT_EQ(codeFor(std::string("streaM\0\0\0\0\0\0\0\0\0\0\0\0", 18)),
              std::make_pair(0, std::size_t{6}));
    EXPECT_EQ(codeFor("strea").first, 0);
    EXPECT_EQ(codeFor("").first, 0);
    EXPECT_EQ(codeFor("stream").first, -1);  // the rest is merely missing

    // No source at all fails as a read, before the magic can be compared.
    StreamReader noSource(nullptr);
    try {
        InputArchive archive(&noSource);
        FAIL() << "no exception";
    } catch (const kesh::stream::error& e) {
        EXPECT_EQ(e.code, 1);
    }
}

TEST(VersionedRecord, ClassNameIsSkippedAndVersionIsTheLow31Bits) {
    const auto bytes = withHeader([](artlib::StreamWriter& out) {
        out.writeU32(0x80000000u);
        out.writeString("abc");
        out.writeU32(42);
    });
    MemorySource source(bytes);
    StreamReader reader(&source);
    InputArchive archive(&reader);
    Probe probe;
    kesh::serialization::readVersioned(archive, probe);
    EXPECT_EQ(probe.value, 42u);
    EXPECT_EQ(reader.remaining(), 0u);

    const auto named =
        withHeader([](artlib::StreamWriter& out) { out.writeVersion(1, "NewerProbe"); });
    MemorySource namedSource(named);
    StreamReader namedReader(&namedSource);
    InputArchive namedArchive(&namedReader);
    NewerProbe newer;
    EXPECT_NO_THROW(kesh::serialization::readVersioned(namedArchive, newer));
}

TEST(VersionedRecord, TooNewVersionThrowsVersionErrorNamingTheType) {
    const auto bytes = withHeader([](artlib::StreamWriter& out) {
        out.writeU32(0x80000002u);
        out.writeString("abc");
    });
    MemorySource source(bytes);
    StreamReader reader(&source);
    InputArchive archive(&reader);
    NewerProbe newer;
    try {
        kesh::serialization::readVersioned(archive, newer);
        FAIL() << "no exception";
    } catch (const kesh::serialization::version_error& e) {
        EXPECT_EQ(e.code, 3);
        EXPECT_EQ(e.supported, 1u);
        EXPECT_EQ(e.found, 2u);
        EXPECT_EQ(*e.type, typeid(NewerProbe));
        EXPECT_STREQ(e.what(), "class version error");
    }
}

TEST(ErrorText, EachCodeHasItsText) {
    EXPECT_EQ(kesh::stream::error::text(0), L"incorrect file");
    EXPECT_EQ(kesh::stream::error::text(1), L"read failed");
    EXPECT_EQ(kesh::stream::error::text(2), L"write failed");
    EXPECT_EQ(kesh::stream::error::text(3), L"class version error");
    EXPECT_EQ(kesh::stream::error::text(4), L"unknown error (stream::error)");
    EXPECT_EQ(kesh::stream::error::text(-1), L"unknown error (stream::error)");
    EXPECT_STREQ(kesh::stream::error(1).what(), "read failed");
    EXPECT_EQ(errorCode([] { throw kesh::serialization::version_error(0, 1, typeid(int)); }), 3);
}
