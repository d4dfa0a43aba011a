#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

template <typename... Args>
std::wstring format(const wchar_t* pattern, Args... args) {
    wchar_t buffer[1024];
    const int length = wsprintfW(buffer, pattern, args...);
    EXPECT_EQ(static_cast<std::size_t>(length), std::wstring(buffer).size());
    return buffer;
}

TEST(Wsprintf, PercentSIsAWideString) {
    EXPECT_EQ(format(L"Saved dump file to '%s'", L"/games/morvale-crash.dmp"),
              L"Saved dump file to '/games/morvale-crash.dmp'");
    EXPECT_EQ(format(L"%ls|%ws", L"a", L"b"), L"a|b");
}

TEST(Wsprintf, PercentCapitalSAndHsAreNarrow) {
    EXPECT_EQ(format(L"%S/%hs", "narrow", "too"), L"narrow/too");
    // Narrow bytes become units of their unsigned value.
    EXPECT_EQ(format(L"%S", "\xe9"), std::wstring(1, L'\u00e9'));
}

TEST(Wsprintf, Integers) {
    EXPECT_EQ(format(L"(error %d)", 5), L"(error 5)");
    EXPECT_EQ(format(L"%d %i", -42, 0), L"-42 0");
    EXPECT_EQ(format(L"%d", static_cast<int>(0x80000000u)), L"-2147483648");
    EXPECT_EQ(format(L"%u", 4294967295u), L"4294967295");
    EXPECT_EQ(format(L"%x %X %#x", 0xbeefu, 0xbeefu, 0x1fu), L"beef BEEF 0x1f");
    EXPECT_EQ(format(L"%I64d %I64u", static_cast<std::int64_t>(-5000000000LL),
                     static_cast<std::uint64_t>(10000000000ULL)),
              L"-5000000000 10000000000");
}

TEST(Wsprintf, WidthZeroPaddingAndAlignment) {
    EXPECT_EQ(format(L"-crash-%02d_%02d_%02d-%02d_%02d-%02d", 6, 1, 2, 14, 3, 9),
              L"-crash-06_01_02-14_03-09");
    EXPECT_EQ(format(L"%02d", 123), L"123");
    EXPECT_EQ(format(L"[%5d][%-5d][%05d]", 42, 42, -42), L"[   42][42   ][-0042]");
    EXPECT_EQ(format(L"[%.3d]", 7), L"[007]");
    EXPECT_EQ(format(L"[%6s][%-6s][%.2s]", L"ab", L"ab", L"abcdef"), L"[    ab][ab    ][ab]");
}

TEST(Wsprintf, CharactersPercentAndUnknownConversions) {
    EXPECT_EQ(format(L"%c%C", L'\u0141', 'x'), L"\u0141x");
    EXPECT_EQ(format(L"100%%"), L"100%");
    EXPECT_EQ(format(L"%q %d", 3), L"%q 3");
    EXPECT_EQ(format(L"trailing %"), L"trailing %");
}

TEST(Wsprintf, NullStringsPrintAsNull) {
    EXPECT_EQ(format(L"%s", static_cast<const wchar_t*>(nullptr)), L"(null)");
}

TEST(Wsprintf, OutputStopsAt1024CharactersWithTheTerminator) {
    const std::wstring longText(3000, L'x');
    wchar_t buffer[1100];
    buffer[1023] = L'?';
    const int length = wsprintfW(buffer, L"%s%s", longText.c_str(), L"tail");
    EXPECT_EQ(length, 1023);
    EXPECT_EQ(buffer[1023], L'\0');
    EXPECT_EQ(std::wstring(buffer), longText.substr(0, 1023));
}

}  // namespace
