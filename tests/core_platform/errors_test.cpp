#include "engine/core/errors.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

template <typename Thrower>
std::string messageOf(Thrower thrower) {
    try {
        thrower();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    ADD_FAILURE() << "nothing was thrown";
    return {};
}

TEST(ThrowRuntimeError, ThrowsTheNarrowedMessage) {
    EXPECT_EQ(messageOf([] { kesh::throwRuntimeError(L"Failed to fetch resource: a.dds"); }),
              "Failed to fetch resource: a.dds");
    EXPECT_EQ(messageOf([] { kesh::throwRuntimeError(L"caf\u00e9 \u0141"); }), "caf\xE9 A");
}

TEST(ThrowDxError, AddsTheNameAndDescriptionOfTheCode) {
    EXPECT_EQ(messageOf([] {
                  kesh::throwDxError(static_cast<HRESULT>(0x8876086Cu), L"Failed to get viewport");
              }),
              "Failed to get viewport (D3DERR_INVALIDCALL: The method call is invalid: a "
              "parameter may have an invalid value.)");
    EXPECT_EQ(messageOf([] { kesh::throwDxError(E_FAIL, L"Cannot create ID3DXFont"); }),
              "Cannot create ID3DXFont (E_FAIL: Unspecified error.)");
}

TEST(ThrowDxError, UnknownCodesStillNameTheirValue) {
    EXPECT_EQ(messageOf([] {
                  kesh::throwDxError(static_cast<HRESULT>(0x88761234u), L"DxDevice: reset");
              }),
              "DxDevice: reset (Unknown: Unknown error 0x88761234)");
}

}  // namespace
