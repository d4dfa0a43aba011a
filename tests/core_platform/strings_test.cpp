#include "engine/core/strings.h"

#include <gtest/gtest.h>

namespace {

TEST(ToLower, FoldsAsciiOnly) {
    EXPECT_EQ(kesh::toLower("ABC.DDS"), "abc.dds");
    EXPECT_EQ(kesh::toLower("Levels/Interior.SLEV"), "levels/interior.slev");
    EXPECT_EQ(kesh::toLower(""), "");
}

TEST(ToLower, BytesAboveAsciiPassUnchanged) {
    // Passed as unsigned char: a negative char would be undefined for tolower.
    std::string bytes;
    for (int c = 0x80; c <= 0xFF; ++c) {
        bytes += static_cast<char>(c);
    }
    EXPECT_EQ(kesh::toLower(bytes), bytes);
    EXPECT_EQ(kesh::toLower("\xC9T\xC9"), "\xC9t\xC9");
}

TEST(ToNarrow, KeepsTheLowEightBitsOfEachUnit) {
    EXPECT_EQ(kesh::toNarrow(L"\u00e9"), "\xE9");
    EXPECT_EQ(kesh::toNarrow(L"\u0141"), "\x41");
    EXPECT_EQ(kesh::toNarrow(L"C:\\Games\\x\\"), "C:\\Games\\x\\");
    EXPECT_EQ(kesh::toNarrow(std::wstring(L"a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(kesh::toNarrow(L"\U0001F600"), std::string(1, '\0'));
}

TEST(ToWide, EachByteBecomesItsUnsignedValue) {
    EXPECT_EQ(kesh::toWide("\xE9"), L"\u00e9");
    EXPECT_EQ(kesh::toWide("\xFF"), L"\u00ff");
    EXPECT_EQ(kesh::toWide("gui.fx"), L"gui.fx");
    EXPECT_EQ(kesh::toWide(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(ToWide, EveryByteSurvivesTheRoundTrip) {
    std::string bytes;
    for (int c = 0; c <= 0xFF; ++c) {
        bytes += static_cast<char>(c);
    }
    const std::wstring wide = kesh::toWide(bytes);
    ASSERT_EQ(wide.size(), 256u);
    for (int c = 0; c <= 0xFF; ++c) {
        EXPECT_EQ(static_cast<int>(wide[c]), c);
    }
    EXPECT_EQ(kesh::toNarrow(wide), bytes);
}

}  // namespace
