#include <windows.h>

#include <gtest/gtest.h>

#include <string>

// The game passes sizeof and relies on these layouts when it reads files and talks to
// the DirectX-shaped layers.
TEST(Win32Types, SizesMatchWhatTheGameAssumes) {
    EXPECT_EQ(sizeof(DWORD), 4u);
    EXPECT_EQ(sizeof(LONG), 4u);
    EXPECT_EQ(sizeof(HRESULT), 4u);
    EXPECT_EQ(sizeof(LARGE_INTEGER), 8u);
    EXPECT_EQ(sizeof(GUID), 16u);
    EXPECT_EQ(sizeof(RECT), 16u);
    EXPECT_EQ(sizeof(WPARAM), sizeof(void*));
    EXPECT_EQ(sizeof(LPARAM), sizeof(void*));
    EXPECT_EQ(sizeof(WCHAR), sizeof(std::wstring::value_type));
}

TEST(Win32Types, ResultCodesSplitOnTheSignBit) {
    EXPECT_TRUE(SUCCEEDED(S_OK));
    EXPECT_TRUE(SUCCEEDED(S_FALSE));
    EXPECT_TRUE(FAILED(E_FAIL));
    EXPECT_TRUE(FAILED(E_INVALIDARG));
    EXPECT_EQ(static_cast<std::uint32_t>(E_OUTOFMEMORY), 0x8007000Eu);
}

TEST(Win32Types, MessageParameterHalves) {
    LPARAM packed = (static_cast<LPARAM>(600) << 16) | 800;
    EXPECT_EQ(LOWORD(packed), 800);
    EXPECT_EQ(HIWORD(packed), 600);
}

TEST(Win32Types, GuidsCompareByValue) {
    GUID a{0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
    GUID b = a;
    EXPECT_TRUE(a == b);
    b.Data4[7] = 9;
    EXPECT_TRUE(a != b);
    EXPECT_EQ(IsEqualGUID(a, b), FALSE);
}
