// Buffers, textures, declarations and Reset on the drawing backend.
#include <d3dx9.h>

#include <cstring>

#include "gl_fixture.h"
#include "tests/support/test_window.h"
#include "tools/artlib/png_writer.h"

namespace d3d9::testing {
namespace {

constexpr D3DCOLOR kBlack = 0xFF000000;
constexpr D3DCOLOR kRed = 0xFFFF0000;
constexpr D3DCOLOR kGreen = 0xFF00FF00;
constexpr D3DCOLOR kBlue = 0xFF0000FF;

using Resources = GlDeviceTest;

// Two clockwise triangles covering a screen rectangle.
void quadVertices(ColourVertex* out, float left, float top, float right, float bottom,
                  D3DCOLOR colour) {
    auto x = [](float v) { return v / 64 * 2 - 1; };
    auto y = [](float v) { return 1 - v / 48 * 2; };
    const ColourVertex corners[4] = {{x(left), y(top), 0.5f, colour},
                                     {x(right), y(top), 0.5f, colour},
                                     {x(left), y(bottom), 0.5f, colour},
                                     {x(right), y(bottom), 0.5f, colour}};
    const int order[6] = {0, 1, 2, 2, 1, 3};
    for (int i = 0; i < 6; ++i) {
        out[i] = corners[order[i]];
    }
}

TEST_F(Resources, DiscardAndNoOverwriteLocksReachTheDraws) {
    useDiffuse();
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(
        device->CreateVertexBuffer(12 * sizeof(ColourVertex), D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY,
                                   kColourFvf, D3DPOOL_DEFAULT, &buffer, nullptr),
        D3D_OK);
    device->SetFVF(kColourFvf);
    device->SetStreamSource(0, buffer, 0, sizeof(ColourVertex));
    void* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &data, D3DLOCK_DISCARD), D3D_OK);
    quadVertices(static_cast<ColourVertex*>(data), 0, 0, 10, 10, kRed);
    buffer->Unlock();
    device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);

    // Appended behind the first quad: the first must survive.
    ASSERT_EQ(buffer->Lock(6 * sizeof(ColourVertex), 6 * sizeof(ColourVertex), &data,
                           D3DLOCK_NOOVERWRITE),
              D3D_OK);
    quadVertices(static_cast<ColourVertex*>(data), 10, 0, 20, 10, kGreen);
    buffer->Unlock();
    device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 4);

    // Fresh storage: the new quad replaces what vertex 0 held.
    ASSERT_EQ(buffer->Lock(0, 0, &data, D3DLOCK_DISCARD), D3D_OK);
    quadVertices(static_cast<ColourVertex*>(data), 30, 0, 40, 10, kBlue);
    buffer->Unlock();
    device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    device->SetStreamSource(0, nullptr, 0, 0);
    buffer->Release();

    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(5, 5), kRed);
    EXPECT_EQ(image.pixel(15, 5), kGreen);
    EXPECT_EQ(image.pixel(35, 5), kBlue);
}

// Back-to-back draws that change one binding or stage state each, and nothing else: each
// draws what it asks for, not what the draw before it left bound.
TEST_F(Resources, ADrawChangingOnlyAStreamOffsetOrAStageStateDrawsWhatItSays) {
    useDiffuse();
    device->SetRenderState(D3DRS_TEXTUREFACTOR, kBlue);
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(18 * sizeof(ColourVertex), 0, kColourFvf, D3DPOOL_MANAGED,
                                         &buffer, nullptr),
              D3D_OK);
    ColourVertex* v = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, reinterpret_cast<void**>(&v), 0), D3D_OK);
    quadVertices(v, 0, 0, 10, 10, kRed);
    quadVertices(v + 6, 20, 0, 30, 10, kGreen);
    quadVertices(v + 12, 40, 0, 50, 10, kRed);
    buffer->Unlock();
    device->SetFVF(kColourFvf);
    device->SetStreamSource(0, buffer, 0, sizeof(ColourVertex));
    device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    device->SetStreamSource(0, buffer, 6 * sizeof(ColourVertex), sizeof(ColourVertex));
    device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
    device->DrawPrimitive(D3DPT_TRIANGLELIST, 6, 2);
    device->SetStreamSource(0, nullptr, 0, 0);
    buffer->Release();

    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(5, 5), kRed);
    EXPECT_EQ(image.pixel(25, 5), kGreen);
    EXPECT_EQ(image.pixel(45, 5), kBlue);
}

TEST_F(Resources, IndexedDrawsAddTheBaseVertex) {
    useDiffuse();
    IDirect3DVertexBuffer9* vertices = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(8 * sizeof(ColourVertex), 0, 0, D3DPOOL_MANAGED, &vertices,
                                         nullptr),
              D3D_OK);
    ColourVertex* v = nullptr;
    ASSERT_EQ(vertices->Lock(0, 0, reinterpret_cast<void**>(&v), 0), D3D_OK);
    ColourVertex six[6];
    quadVertices(six, 0, 0, 10, 10, kRed);
    const ColourVertex first[4] = {six[0], six[1], six[2], six[5]};
    quadVertices(six, 20, 0, 30, 10, kGreen);
    const ColourVertex second[4] = {six[0], six[1], six[2], six[5]};
    std::memcpy(v, first, sizeof first);
    std::memcpy(v + 4, second, sizeof second);
    vertices->Unlock();
    IDirect3DIndexBuffer9* indices = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices, nullptr),
              D3D_OK);
    WORD* i = nullptr;
    ASSERT_EQ(indices->Lock(0, 0, reinterpret_cast<void**>(&i), 0), D3D_OK);
    const WORD pattern[6] = {0, 1, 2, 2, 1, 3};
    std::memcpy(i, pattern, sizeof pattern);
    indices->Unlock();

    device->SetFVF(kColourFvf);
    device->SetStreamSource(0, vertices, 0, sizeof(ColourVertex));
    device->SetIndices(indices);
    // minIndex and numVertices are hints only, even when wrong.
    ASSERT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 4, 0, 1, 0, 2), D3D_OK);
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
    vertices->Release();
    indices->Release();
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(5, 5), kBlack);
    EXPECT_EQ(image.pixel(25, 5), kGreen);
}

TEST_F(Resources, DeclarationsBindElementsByUsage) {
    useDiffuse();
    // Colour first in memory, position after it.
    struct Vertex {
        D3DCOLOR colour;
        float x, y, z;
    };
    const D3DVERTEXELEMENT9 elements[] = {
        {0, 0, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
        {0, 4, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
        D3DDECL_END()};
    IDirect3DVertexDeclaration9* declaration = nullptr;
    ASSERT_EQ(device->CreateVertexDeclaration(elements, &declaration), D3D_OK);
    device->SetVertexDeclaration(declaration);
    const Vertex quad[4] = {{kBlue, clipX(0), clipY(0), 0.5f},
                            {kBlue, clipX(10), clipY(0), 0.5f},
                            {kBlue, clipX(0), clipY(10), 0.5f},
                            {kBlue, clipX(10), clipY(10), 0.5f}};
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), D3D_OK);
    device->SetVertexDeclaration(nullptr);
    declaration->Release();
    EXPECT_EQ(picture().pixel(5, 5), kBlue);
}

TEST_F(Resources, ElementsComeFromTheirOwnStreams) {
    useDiffuse();
    // Positions in stream 0, colours in stream 1 (offset into its buffer).
    const D3DVERTEXELEMENT9 elements[] = {
        {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
        {1, 0, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
        D3DDECL_END()};
    IDirect3DVertexDeclaration9* declaration = nullptr;
    ASSERT_EQ(device->CreateVertexDeclaration(elements, &declaration), D3D_OK);
    IDirect3DVertexBuffer9* positions = nullptr;
    IDirect3DVertexBuffer9* colours = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(4 * 12, 0, 0, D3DPOOL_MANAGED, &positions, nullptr),
              D3D_OK);
    ASSERT_EQ(device->CreateVertexBuffer(8 * 4, 0, 0, D3DPOOL_MANAGED, &colours, nullptr), D3D_OK);
    float* p = nullptr;
    ASSERT_EQ(positions->Lock(0, 0, reinterpret_cast<void**>(&p), 0), D3D_OK);
    const float corners[12] = {clipX(0), clipY(0),  0.5f, clipX(10), clipY(0),  0.5f,
                               clipX(0), clipY(10), 0.5f, clipX(10), clipY(10), 0.5f};
    std::memcpy(p, corners, sizeof corners);
    positions->Unlock();
    D3DCOLOR* c = nullptr;
    ASSERT_EQ(colours->Lock(0, 0, reinterpret_cast<void**>(&c), 0), D3D_OK);
    for (int i = 0; i < 8; ++i) {
        c[i] = i < 4 ? kRed : kGreen;
    }
    colours->Unlock();
    device->SetVertexDeclaration(declaration);
    device->SetStreamSource(0, positions, 0, 12);
    device->SetStreamSource(1, colours, 16, 4);
    ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetStreamSource(1, nullptr, 0, 0);
    device->SetVertexDeclaration(nullptr);
    declaration->Release();
    positions->Release();
    colours->Release();
    EXPECT_EQ(picture().pixel(5, 5), kGreen);
}

TEST_F(Resources, MipLevelsUploadEachLevel) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(
        device->CreateTexture(2, 2, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
        D3D_OK);
    D3DLOCKED_RECT locked{};
    for (UINT level = 0; level < 2; ++level) {
        ASSERT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
        const UINT size = level == 0 ? 2 : 1;
        for (UINT y = 0; y < size; ++y) {
            auto* row =
                reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
            for (UINT x = 0; x < size; ++x) {
                row[x] = level == 0 ? kRed : kGreen;
            }
        }
        texture->UnlockRect(level);
    }
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_POINT);
    drawTexturedQuad(0, 0, 10, 10);
    // The most detailed level allowed is level 1.
    device->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 1);
    drawTexturedQuad(20, 0, 30, 10);
    device->SetTexture(0, nullptr);
    texture->Release();
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(5, 5), kRed);
    EXPECT_EQ(image.pixel(25, 5), kGreen);
}

TEST_F(Resources, SamplerAddressModesReachTheTexture) {
    IDirect3DTexture9* texture = makeTexture(2, 1, D3DFMT_A8R8G8B8, {kRed, kGreen});
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    // u runs 0..2 over each quad: wrapping repeats the texture, clamping holds its edge.
    auto drawWide = [&](float top) {
        const TexturedVertex quad[4] = {{clipX(0), clipY(top), 0.5f, 0xFFFFFFFF, 0, 0},
                                        {clipX(40), clipY(top), 0.5f, 0xFFFFFFFF, 2, 0},
                                        {clipX(0), clipY(top + 10), 0.5f, 0xFFFFFFFF, 0, 1},
                                        {clipX(40), clipY(top + 10), 0.5f, 0xFFFFFFFF, 2, 1}};
        device->SetFVF(kTexturedFvf);
        device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexturedVertex));
    };
    drawWide(0);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    drawWide(20);
    device->SetTexture(0, nullptr);
    texture->Release();
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(25, 5), kRed);
    EXPECT_EQ(image.pixel(35, 5), kGreen);
    EXPECT_EQ(image.pixel(25, 25), kGreen);
    EXPECT_EQ(image.pixel(5, 25), kRed);
}

TEST_F(Resources, AnImageWiderThanTheDeviceTakesIsDrawnScaledToFit) {
    // Red on its left half, blue on its right: a valid file, twice the widest texture.
    artlib::Image strip(16384, 64, kRed);
    for (int y = 0; y < strip.height; ++y) {
        for (int x = strip.width / 2; x < strip.width; ++x) {
            strip.at(x, y) = kBlue;
        }
    }
    const artlib::Bytes png = artlib::pngBytes(strip);
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(device, png.data(), static_cast<UINT>(png.size()),
                                                  D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                                  D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                                  D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
              D3D_OK);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 8192u);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    drawTexturedQuad(0, 0, 64, 48);
    device->SetTexture(0, nullptr);
    texture->Release();
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(10, 24), kRed);
    EXPECT_EQ(image.pixel(54, 24), kBlue);
}

TEST_F(Resources, TextureUpdatesAfterUnlockAreDrawn) {
    IDirect3DTexture9* texture = makeTexture(1, 1, D3DFMT_A8R8G8B8, {kRed});
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    drawTexturedQuad(0, 0, 10, 10);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    *static_cast<DWORD*>(locked.pBits) = kBlue;
    texture->UnlockRect(0);
    drawTexturedQuad(20, 0, 30, 10);
    device->SetTexture(0, nullptr);
    texture->Release();
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(5, 5), kRed);
    EXPECT_EQ(image.pixel(25, 5), kBlue);
}

TEST_F(Resources, AnUpdateReachesItsOwnTextureWhicheverUnitWasLastActive) {
    // A on stage 0, B modulating on stage 1: the draw leaves unit 1 the active one. A's
    // update must still reach A, not the texture bound on the active unit.
    IDirect3DTexture9* a = makeTexture(1, 1, D3DFMT_A8R8G8B8, {kRed});
    IDirect3DTexture9* b = makeTexture(1, 1, D3DFMT_A8R8G8B8, {0xFFFFFFFF});
    device->SetTexture(0, a);
    device->SetTexture(1, b);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    drawTexturedQuad(0, 0, 10, 10);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(a->LockRect(0, &locked, nullptr, 0), D3D_OK);
    *static_cast<DWORD*>(locked.pBits) = kBlue;
    a->UnlockRect(0);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    drawTexturedQuad(20, 0, 30, 10);
    device->SetTexture(0, b);
    drawTexturedQuad(40, 0, 50, 10);
    device->SetTexture(0, nullptr);
    device->SetTexture(1, nullptr);
    a->Release();
    b->Release();
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(5, 5), kRed);
    EXPECT_EQ(image.pixel(25, 5), kBlue);
    EXPECT_EQ(image.pixel(45, 5), 0xFFFFFFFFu);
}

TEST_F(Resources, X8TexelsAreOpaque) {
    IDirect3DTexture9* texture = makeTexture(1, 1, D3DFMT_X8R8G8B8, {0x00FF0000});
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    drawTexturedQuad(0, 0, 10, 10);
    device->SetTexture(0, nullptr);
    texture->Release();
    EXPECT_EQ(picture().pixel(5, 5), kRed);
}

TEST_F(Resources, Dxt1BlocksUploadCompressed) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &texture, nullptr),
              D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    // Both end colours pure green (565), every index 0.
    const BYTE block[8] = {0xE0, 0x07, 0xE0, 0x07, 0, 0, 0, 0};
    std::memcpy(locked.pBits, block, sizeof block);
    texture->UnlockRect(0);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    drawTexturedQuad(0, 0, 10, 10);
    device->SetTexture(0, nullptr);
    texture->Release();
    EXPECT_EQ(picture().pixel(5, 5), kGreen);
}

TEST_F(Resources, ManagedLevelsLockedAgainReadBackWhatGlHoldsAcrossAReset) {
    // GL holds a managed level once it is unlocked; a later lock reads it back, padded rows
    // and compressed blocks alike, and a reset keeps it.
    const std::vector<DWORD> texels = {kRed, kGreen, kBlue, kBlack, 0x80FFFFFF, 0x12345678};
    IDirect3DTexture9* argb = makeTexture(3, 2, D3DFMT_A8R8G8B8, texels);
    IDirect3DTexture9* dxt = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &dxt, nullptr),
              D3D_OK);
    const BYTE block[8] = {0xE0, 0x07, 0x1F, 0x00, 0x1B, 0xE4, 0x1B, 0xE4};
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(dxt->LockRect(0, &locked, nullptr, 0), D3D_OK);
    std::memcpy(locked.pBits, block, sizeof block);
    dxt->UnlockRect(0);
    auto expectHeld = [&] {
        ASSERT_EQ(argb->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        for (UINT i = 0; i < texels.size(); ++i) {
            DWORD texel = 0;
            std::memcpy(&texel,
                        static_cast<BYTE*>(locked.pBits) + (i / 3) * locked.Pitch + (i % 3) * 4, 4);
            EXPECT_EQ(texel, texels[i]) << i;
        }
        argb->UnlockRect(0);
        ASSERT_EQ(dxt->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        EXPECT_EQ(std::memcmp(locked.pBits, block, sizeof block), 0);
        dxt->UnlockRect(0);
    };
    expectHeld();
    device->EndScene();
    inScene = false;
    ASSERT_EQ(device->Reset(&parameters), D3D_OK);
    expectHeld();
    argb->Release();
    dxt->Release();
}

TEST_F(Resources, ResetFollowsTheWindowClientSize) {
    device->EndScene();
    inScene = false;
    win32::simulateResizeDrag(window, {{80, 60}});
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
    D3DPRESENT_PARAMETERS resized = parameters;
    resized.BackBufferWidth = 0;
    resized.BackBufferHeight = 0;
    ASSERT_EQ(device->Reset(&resized), D3D_OK);
    EXPECT_EQ(resized.BackBufferWidth, 80u);
    EXPECT_EQ(resized.BackBufferHeight, 60u);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    const BackBufferImage image = picture();
    EXPECT_EQ(image.width, 80u);
    EXPECT_EQ(image.height, 60u);
    EXPECT_EQ(image.pixel(79, 59), kBlue);
}

TEST_F(Resources, DevicesDrawingInTurnWithinAFrameKeepToTheirOwnBackBuffers) {
    HWND otherWindow = morvale_testing::makeWindow(kWidth, kHeight);
    D3DPRESENT_PARAMETERS otherParameters = parameters;
    IDirect3DDevice9* other = nullptr;
    ASSERT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, otherWindow,
                                     D3DCREATE_HARDWARE_VERTEXPROCESSING, &otherParameters, &other),
              D3D_OK);
    useDiffuse();
    drawQuad(0, 0, 8, 8, kRed);
    // The other device's draws take the thread's context between two of this one's.
    std::swap(device, other);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlue, 1.0f, 0);
    device->BeginScene();
    useDiffuse();
    drawQuad(16, 0, 24, 8, kGreen);
    device->EndScene();
    std::swap(device, other);
    drawQuad(32, 0, 40, 8, kGreen);
    const BackBufferImage image = picture();
    EXPECT_EQ(image.pixel(4, 4), kRed);
    EXPECT_EQ(image.pixel(20, 4), kBlack);
    EXPECT_EQ(image.pixel(36, 4), kGreen);
    BackBufferImage otherImage;
    ASSERT_TRUE(readBackBuffer(other, otherImage));
    EXPECT_EQ(otherImage.pixel(20, 4), kGreen);
    EXPECT_EQ(otherImage.pixel(36, 4), kBlue);
    EXPECT_EQ(other->Release(), 0u);
}

}  // namespace
}  // namespace d3d9::testing
