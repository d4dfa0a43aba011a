// ID3DXFont over the null device: creation, measuring, the draws it records, the device
// state it leaves, the text record seam and device loss.
#include <d3dx9.h>

#include <cstring>
#include <cwchar>

#include "d3dx9/seams.h"
#include "tests/d3d9/d3d9_fixture.h"

namespace {

using d3d9::DrawKind;

struct TextVertex {
    float x, y, z;
    D3DCOLOR color;
    float u, v;
};

D3DXFONT_DESCW gameDesc(const wchar_t* face, int pixels) {
    D3DXFONT_DESCW desc{};
    desc.Height = -pixels;
    desc.Weight = FW_BOLD;
    desc.MipLevels = 1;
    desc.CharSet = DEFAULT_CHARSET;
    desc.OutputPrecision = OUT_DEFAULT_PRECIS;
    desc.Quality = ANTIALIASED_QUALITY;
    std::wcsncpy(desc.FaceName, face, 31);
    return desc;
}

class FontTest : public d3d9::testing::DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        const D3DXFONT_DESCW desc = gameDesc(L"Tahoma", 13);
        ASSERT_EQ(D3DXCreateFontIndirectW(device, &desc, &font), D3D_OK);
        d3dx9::clearTextDraws();
        record->clear();
    }

    void TearDown() override {
        if (font != nullptr) {
            EXPECT_EQ(font->Release(), 0u);
        }
        DeviceTest::TearDown();
    }

    RECT measure(const wchar_t* text, DWORD format = 0) {
        RECT rect{10, 20, 310, 20};
        font->DrawTextW(nullptr, text, -1, &rect, format | DT_CALCRECT | DT_EXPANDTABS, 0);
        return rect;
    }

    int lineHeight() {
        const RECT r = measure(L"Ag");
        return r.bottom - r.top;
    }

    ID3DXFont* font = nullptr;
};

TEST_F(FontTest, DescriptionKeepsTheRequest) {
    D3DXFONT_DESCW desc{};
    ASSERT_EQ(font->GetDescW(&desc), D3D_OK);
    EXPECT_EQ(desc.Height, -13);
    EXPECT_EQ(desc.Weight, 700u);
    EXPECT_STREQ(desc.FaceName, L"Tahoma");
}

TEST_F(FontTest, FaceNameFillingTheFieldIsCutInsideIt) {
    D3DXFONT_DESCW desc = gameDesc(L"", 10);
    for (int i = 0; i < 32; ++i) {
        desc.FaceName[i] = L'A' + i % 26;  // no terminator at all
    }
    ID3DXFont* other = nullptr;
    ASSERT_EQ(D3DXCreateFontIndirectW(device, &desc, &other), D3D_OK);
    D3DXFONT_DESCW read{};
    other->GetDescW(&read);
    EXPECT_EQ(std::wcslen(read.FaceName), 31u);
    other->Release();

    EXPECT_EQ(D3DXCreateFontIndirectW(device, nullptr, &other), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateFontIndirectW(nullptr, &desc, &other), D3DERR_INVALIDCALL);
    EXPECT_EQ(other, nullptr);
}

TEST_F(FontTest, MeasuringFillsTheExtentAndDrawsNothing) {
    const int height = lineHeight();
    EXPECT_GE(height, 13);
    EXPECT_LE(height, 20);

    RECT rect{10, 20, 310, 20};
    const INT result =
        font->DrawTextW(nullptr, L"Hello", 5, &rect, DT_CALCRECT | DT_EXPANDTABS, 0xFFFFFFFF);
    EXPECT_EQ(result, height);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
    EXPECT_GT(rect.right, 10 + 5 * 4);
    EXPECT_EQ(rect.bottom, 20 + height);
    EXPECT_TRUE(record->draws.empty());

    const RECT longer = measure(L"Hello, World");
    EXPECT_GT(longer.right, rect.right);
    EXPECT_EQ(measure(L"Hello\nWorld").bottom - 20, 2 * height);
    EXPECT_EQ(measure(L"Hello\nWorld", DT_SINGLELINE).bottom - 20, height);
    // A count shorter than the text measures only its start.
    RECT start{10, 20, 310, 20};
    font->DrawTextW(nullptr, L"Hello, World", 5, &start, DT_CALCRECT, 0);
    EXPECT_EQ(start.right, rect.right);
    // Tabs reach the next stop.
    EXPECT_GT(measure(L"a\tb").right, measure(L"a b").right);
}

TEST_F(FontTest, WordBreakWrapsToTheRectWidth) {
    const int height = lineHeight();
    const RECT one = measure(L"word");
    const int wordWidth = one.right - one.left;
    RECT rect{0, 0, wordWidth * 2, 0};
    font->DrawTextW(nullptr, L"word word word", -1, &rect, DT_CALCRECT | DT_WORDBREAK, 0);
    EXPECT_EQ(rect.bottom, 3 * height);
    EXPECT_LE(rect.right, wordWidth * 2);
}

TEST_F(FontTest, DrawsOneTexturedQuadPerVisibleGlyph) {
    RECT rect{10, 20, 310, 220};
    const INT result = font->DrawTextW(nullptr, L"H i!", -1, &rect, DT_EXPANDTABS, 0x80FF8000u);
    EXPECT_EQ(result, lineHeight());
    ASSERT_EQ(record->draws.size(), 1u);
    const auto& draw = record->draws[0];
    EXPECT_EQ(draw.kind, DrawKind::UserPointer);
    EXPECT_EQ(draw.type, D3DPT_TRIANGLELIST);
    EXPECT_EQ(draw.primitiveCount, 6u);  // H, i, ! (the space has no quad)
    EXPECT_EQ(draw.stride, 24u);
    EXPECT_EQ(draw.textureNames[0], "font Tahoma");
    EXPECT_EQ(draw.state.renderState(D3DRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(draw.state.renderState(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_SRCALPHA));
    EXPECT_EQ(draw.state.renderState(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_INVSRCALPHA));
    EXPECT_EQ(draw.state.renderState(D3DRS_ZENABLE), 0u);
    EXPECT_EQ(draw.state.vertexShader, nullptr);
    ASSERT_EQ(draw.vertices.size(), 18u * 24u);
    float left = 2.0f;
    float top = -2.0f;
    for (size_t i = 0; i < 18; ++i) {
        TextVertex v;
        std::memcpy(&v, draw.vertex(i), sizeof v);
        EXPECT_EQ(v.color, 0x80FF8000u);
        EXPECT_FLOAT_EQ(v.z, 0.5f);
        EXPECT_GE(v.u, 0.0f);
        EXPECT_LE(v.u, 1.0f);
        left = std::min(left, v.x);
        top = std::max(top, v.y);
    }
    // The text starts near pixel (10, 20) of the 320 x 240 viewport.
    EXPECT_NEAR((left + 1.0f) * 160.0f, 10.0f, 3.0f);
    EXPECT_NEAR((1.0f - top) * 120.0f, 20.0f, lineHeight());
}

TEST_F(FontTest, CentredTextSitsInTheMiddleOfItsRect) {
    RECT rect{0, 0, 320, 240};
    const INT result =
        font->DrawTextW(nullptr, L"ABBA", -1, &rect,
                        DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_EXPANDTABS, 0xFFFFFFFFu);
    // With DT_VCENTER the result runs from the rect's top to the text's bottom.
    EXPECT_EQ(result, (240 - lineHeight()) / 2 + lineHeight());
    ASSERT_EQ(record->draws.size(), 1u);
    const auto& draw = record->draws[0];
    float minX = 2, maxX = -2, minY = 2, maxY = -2;
    for (size_t i = 0; i < draw.vertexNumbers.size(); ++i) {
        TextVertex v;
        std::memcpy(&v, draw.vertex(i), sizeof v);
        minX = std::min(minX, v.x);
        maxX = std::max(maxX, v.x);
        minY = std::min(minY, v.y);
        maxY = std::max(maxY, v.y);
    }
    EXPECT_NEAR((minX + maxX) / 2, 0.0f, 0.05f);
    EXPECT_NEAR((minY + maxY) / 2, 0.0f, 0.1f);
}

TEST_F(FontTest, TextOutsideItsRectIsClippedAway) {
    RECT empty{50, 50, 50, 50};
    font->DrawTextW(nullptr, L"clipped", -1, &empty, 0, 0xFFFFFFFFu);
    EXPECT_TRUE(record->draws.empty());
    font->DrawTextW(nullptr, L"shown", -1, &empty, DT_NOCLIP, 0xFFFFFFFFu);
    EXPECT_EQ(record->draws.size(), 1u);
}

TEST_F(FontTest, DrawingLeavesEveryDeviceStateAsItFoundIt) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(
        device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
        D3D_OK);
    IDirect3DVertexBuffer9* buffer = makeVertices(4);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetTexture(0, texture);
    device->SetFVF(0x102);
    device->SetStreamSource(0, buffer, 0, 20);

    RECT rect{0, 0, 320, 240};
    font->DrawTextW(nullptr, L"state", -1, &rect, DT_EXPANDTABS, 0xFFFFFFFFu);
    ASSERT_EQ(record->draws.size(), 1u);

    DWORD value = 0;
    device->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DCULL_CW));
    device->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, 1u);
    device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, 0u);
    device->GetRenderState(D3DRS_DESTBLEND, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DBLEND_ZERO));
    device->GetTextureStageState(0, D3DTSS_COLOROP, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTOP_SELECTARG1));
    device->GetSamplerState(0, D3DSAMP_MAGFILTER, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTEXF_LINEAR));
    device->GetFVF(&value);
    EXPECT_EQ(value, 0x102u);
    IDirect3DBaseTexture9* bound = nullptr;
    device->GetTexture(0, &bound);
    EXPECT_EQ(bound, texture);
    bound->Release();
    IDirect3DVertexBuffer9* stream = nullptr;
    UINT offset = 0, stride = 0;
    device->GetStreamSource(0, &stream, &offset, &stride);
    EXPECT_EQ(stream, buffer);
    EXPECT_EQ(stride, 20u);
    stream->Release();

    device->SetTexture(0, nullptr);
    device->SetStreamSource(0, nullptr, 0, 0);
    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_EQ(buffer->Release(), 0u);
}

TEST_F(FontTest, EveryCallIsRecordedForTests) {
    RECT rect{1, 2, 300, 200};
    const INT result = font->DrawTextW(nullptr, L"abc\tdef", 5, &rect, DT_EXPANDTABS, 0xFF00FF00u);
    const auto& draws = d3dx9::textDraws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].text, L"abc\td");
    EXPECT_EQ(draws[0].rect.left, 1);
    EXPECT_EQ(draws[0].rect.bottom, 200);
    EXPECT_EQ(draws[0].format, static_cast<DWORD>(DT_EXPANDTABS));
    EXPECT_EQ(draws[0].color, 0xFF00FF00u);
    EXPECT_EQ(draws[0].result, result);
    d3dx9::clearTextDraws();
    EXPECT_TRUE(d3dx9::textDraws().empty());
}

// As in the game: with the test hooks off, text is drawn but neither the font nor the null
// device keeps anything of it.
TEST_F(FontTest, WithTheHooksOffNothingIsRecorded) {
    struct HooksOff {
        HooksOff() {
            d3d9::setDrawRecording(false);
            d3dx9::setTextRecording(false);
        }
        ~HooksOff() {
            d3d9::setDrawRecording(true);
            d3dx9::setTextRecording(true);
        }
    } off;
    RECT rect{0, 0, 200, 50};
    EXPECT_GT(font->DrawTextW(nullptr, L"Stage 1", -1, &rect, DT_LEFT, 0xFFFFFFFFu), 0);
    EXPECT_TRUE(d3dx9::textDraws().empty());
    EXPECT_TRUE(record->draws.empty());
    EXPECT_TRUE(record->locks.empty());
}

TEST_F(FontTest, ManyGlyphsGrowTheAtlas) {
    D3DXFONT_DESCW desc = gameDesc(L"DejaVu Sans", 48);
    ID3DXFont* big = nullptr;
    ASSERT_EQ(D3DXCreateFontIndirectW(device, &desc, &big), D3D_OK);
    std::wstring text;
    for (wchar_t c = 0x21; c < 0x17F; ++c) {
        if (c < 0x7F || c > 0xA0) {
            text += c;
        }
    }
    RECT rect{0, 0, 320, 240};
    big->DrawTextW(nullptr, text.c_str(), -1, &rect, DT_NOCLIP, 0xFFFFFFFFu);
    ASSERT_EQ(record->draws.size(), 1u);
    EXPECT_GT(record->draws[0].primitiveCount, 2u * 300u);
    // Every quad's texture coordinates stay inside the atlas.
    for (size_t i = 0; i < record->draws[0].vertexNumbers.size(); ++i) {
        TextVertex v;
        std::memcpy(&v, record->draws[0].vertex(i), sizeof v);
        ASSERT_LE(v.u, 1.0f);
        ASSERT_LE(v.v, 1.0f);
    }
    EXPECT_EQ(big->Release(), 0u);
}

TEST_F(FontTest, AFontHoldsUpResetUntilItIsLost) {
    EXPECT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL);
    ASSERT_EQ(font->OnLostDevice(), D3D_OK);
    ASSERT_EQ(font->OnLostDevice(), D3D_OK);  // twice is still one loss
    EXPECT_EQ(device->Reset(&parameters), D3D_OK);
    ASSERT_EQ(font->OnResetDevice(), D3D_OK);
    EXPECT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL);

    // A font released while lost leaves nothing behind.
    font->OnLostDevice();
    EXPECT_EQ(font->Release(), 0u);
    font = nullptr;
    EXPECT_EQ(device->Reset(&parameters), D3D_OK);
}

}  // namespace
