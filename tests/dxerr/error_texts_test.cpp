#include <dxerr9.h>

#include <gtest/gtest.h>

#include <string>

namespace {

HRESULT code(std::uint32_t value) {
    return static_cast<HRESULT>(value);
}

TEST(DxErrorTexts, NamesTheCodesTheGameMeets) {
    EXPECT_STREQ(DXGetErrorString9W(code(0x88760868u)), L"D3DERR_DEVICELOST");
    EXPECT_STREQ(DXGetErrorString9W(code(0x88760869u)), L"D3DERR_DEVICENOTRESET");
    EXPECT_STREQ(DXGetErrorString9W(code(0x8876086Cu)), L"D3DERR_INVALIDCALL");
    EXPECT_STREQ(DXGetErrorString9W(code(0x8876086Au)), L"D3DERR_NOTAVAILABLE");
    EXPECT_STREQ(DXGetErrorString9W(code(0x8876017Cu)), L"D3DERR_OUTOFVIDEOMEMORY");
    EXPECT_STREQ(DXGetErrorString9W(code(0x88760B59u)), L"D3DXERR_INVALIDDATA");
    EXPECT_STREQ(DXGetErrorString9W(code(0x8007001Eu)), L"DIERR_INPUTLOST");
    EXPECT_STREQ(DXGetErrorString9W(code(0x8007000Cu)), L"DIERR_NOTACQUIRED");
    EXPECT_STREQ(DXGetErrorString9W(code(0x88780182u)), L"DMUS_E_LOADER_FAILEDOPEN");
    EXPECT_STREQ(DXGetErrorString9W(E_FAIL), L"E_FAIL");
    EXPECT_STREQ(DXGetErrorString9W(E_INVALIDARG), L"E_INVALIDARG");
    EXPECT_STREQ(DXGetErrorString9W(E_ACCESSDENIED), L"E_ACCESSDENIED");
    EXPECT_STREQ(DXGetErrorString9W(E_OUTOFMEMORY), L"E_OUTOFMEMORY");
    EXPECT_STREQ(DXGetErrorString9W(S_OK), L"S_OK");
    EXPECT_STREQ(DXGetErrorString9W(S_FALSE), L"S_FALSE");
}

TEST(DxErrorTexts, DescriptionsAreOneLineAndNeverEmpty) {
    EXPECT_STREQ(DXGetErrorDescription9W(code(0x88760868u)),
                 L"The device has been lost but cannot be reset at this time.");
    EXPECT_STREQ(DXGetErrorDescription9W(E_FAIL), L"Unspecified error.");
    for (std::uint32_t value : {0x88760868u, 0x88760B54u, 0x80040209u, 0x8878022Fu, 0x08780091u,
                                0x00000013u, 0x80010106u}) {
        const std::wstring text = DXGetErrorDescription9W(code(value));
        EXPECT_FALSE(text.empty()) << std::hex << value;
        EXPECT_EQ(text.find(L'\n'), std::wstring::npos) << std::hex << value;
        EXPECT_STRNE(DXGetErrorString9W(code(value)), L"Unknown") << std::hex << value;
    }
}

TEST(DxErrorTexts, NarrowFormsMatchTheWideOnes) {
    for (std::uint32_t value : {0x88760868u, 0x80004005u, 0x88780161u, 0x12345678u}) {
        const std::wstring wideName = DXGetErrorString9W(code(value));
        const std::wstring wideDescription = DXGetErrorDescription9W(code(value));
        const std::string name = DXGetErrorString9A(code(value));
        const std::string description = DXGetErrorDescription9A(code(value));
        EXPECT_EQ(std::wstring(name.begin(), name.end()), wideName);
        EXPECT_EQ(std::wstring(description.begin(), description.end()), wideDescription);
    }
}

TEST(DxErrorTexts, UnknownCodesFallBackAndQuoteTheirValue) {
    EXPECT_STREQ(DXGetErrorString9W(code(0x88769999u)), L"Unknown");
    EXPECT_STREQ(DXGetErrorString9A(code(0x88769999u)), "Unknown");
    EXPECT_STREQ(DXGetErrorDescription9W(code(0x88769999u)), L"Unknown error 0x88769999");
    EXPECT_STREQ(DXGetErrorDescription9A(code(0x0000BEEFu)), "Unknown error 0x0000BEEF");
    // The generic macros are the wide forms.
    EXPECT_STREQ(DXGetErrorString9(E_POINTER), L"E_POINTER");
    EXPECT_STREQ(DXGetErrorDescription9(code(0x7FFFFFFFu)), L"Unknown error 0x7FFFFFFF");
}

}  // namespace
