#include <cstring>

#include "d3d9_fixture.h"

namespace d3d9::testing {
namespace {

using ResourceTest = DeviceTest;

TEST_F(ResourceTest, ReferenceCountsAreExactAndObjectsDieAtZero) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(
        device->CreateTexture(16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
        D3D_OK);
    EXPECT_EQ(texture->AddRef(), 2u);
    EXPECT_EQ(texture->Release(), 1u);

    // A surface shares its texture's count.
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &surface), D3D_OK);
    EXPECT_EQ(texture->AddRef(), 3u);
    EXPECT_EQ(texture->Release(), 2u);
    EXPECT_EQ(surface->Release(), 1u);

    // Binding holds a reference until unbound.
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    EXPECT_EQ(texture->Release(), 1u);
    EXPECT_EQ(liveObjects(ObjectType::Texture), 1);
    ASSERT_EQ(device->SetTexture(0, nullptr), D3D_OK);
    EXPECT_EQ(liveObjects(ObjectType::Texture), 0);

    IDirect3DDevice9* owner = nullptr;
    IDirect3DVertexBuffer9* buffer = makeVertices(4);
    ASSERT_EQ(buffer->GetDevice(&owner), D3D_OK);
    EXPECT_EQ(owner, device);
    EXPECT_EQ(owner->Release(), 1u);
    EXPECT_EQ(buffer->Release(), 0u);
}

TEST_F(ResourceTest, DiscardGivesFreshStorageAndLeavesEarlierDrawsAlone) {
    IDirect3DVertexBuffer9* buffer = makeVertices(3);
    float* first = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, reinterpret_cast<void**>(&first), D3DLOCK_DISCARD), D3D_OK);
    for (int i = 0; i < 15; ++i) {
        first[i] = 1.0f;
    }
    ASSERT_EQ(buffer->Unlock(), D3D_OK);
    ASSERT_EQ(device->SetFVF(0x102), D3D_OK);
    ASSERT_EQ(device->SetStreamSource(0, buffer, 0, 20), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);

    float* second = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, reinterpret_cast<void**>(&second), D3DLOCK_DISCARD), D3D_OK);
    EXPECT_NE(second, first);
    second[0] = 7.0f;
    ASSERT_EQ(buffer->Unlock(), D3D_OK);

    float* kept = nullptr;
    ASSERT_EQ(buffer->Lock(20, 20, reinterpret_cast<void**>(&kept), D3DLOCK_NOOVERWRITE), D3D_OK);
    EXPECT_EQ(kept, second + 5);
    EXPECT_EQ(second[0], 7.0f);
    ASSERT_EQ(buffer->Unlock(), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);

    ASSERT_EQ(record->draws.size(), 1u);
    float drawn = 0.0f;
    std::memcpy(&drawn, record->draws[0].vertex(0), sizeof drawn);
    EXPECT_EQ(drawn, 1.0f);

    ASSERT_EQ(record->locks.size(), 3u);
    EXPECT_EQ(record->locks[2].offset, 20u);
    EXPECT_EQ(record->locks[2].size, 20u);
    EXPECT_EQ(record->locks[2].flags, D3DLOCK_NOOVERWRITE);
    EXPECT_EQ(record->locks[2].resource, buffer);
    ASSERT_EQ(device->SetStreamSource(0, nullptr, 0, 0), D3D_OK);
    buffer->Release();
}

TEST_F(ResourceTest, LocksOutsideTheRulesFail) {
    IDirect3DVertexBuffer9* dynamic = makeVertices(4);
    IDirect3DVertexBuffer9* fixed = makeVertices(4, D3DUSAGE_WRITEONLY);
    void* data = nullptr;
    EXPECT_EQ(fixed->Lock(0, 0, &data, D3DLOCK_DISCARD), D3DERR_INVALIDCALL);
    EXPECT_EQ(fixed->Lock(0, 0, &data, D3DLOCK_NOOVERWRITE), D3DERR_INVALIDCALL);
    EXPECT_EQ(dynamic->Lock(60, 40, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(dynamic->Lock(81, 0, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(dynamic->Lock(0, 0, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(dynamic->Unlock(), D3DERR_INVALIDCALL);
    EXPECT_EQ(dynamic->Lock(60, 20, &data, 0), D3D_OK);
    EXPECT_EQ(dynamic->Unlock(), D3D_OK);

    IDirect3DVertexBuffer9* managedDynamic = nullptr;
    EXPECT_EQ(device->CreateVertexBuffer(80, D3DUSAGE_DYNAMIC, 0, D3DPOOL_MANAGED, &managedDynamic,
                                         nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(managedDynamic, nullptr);
    IDirect3DIndexBuffer9* indices = nullptr;
    EXPECT_EQ(device->CreateIndexBuffer(24, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &indices, nullptr),
              D3DERR_INVALIDCALL);
    dynamic->Release();
    fixed->Release();
}

TEST_F(ResourceTest, SurfacesHaveARealPitch) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(
        device->CreateTexture(16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
        D3D_OK);
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &surface), D3D_OK);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(surface->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, 16u);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);

    D3DLOCKED_RECT locked{};
    ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
    EXPECT_GT(locked.Pitch, 16 * 4);  // padded rows catch code that ignores the pitch
    auto* bits = static_cast<BYTE*>(locked.pBits);
    for (int y = 0; y < 16; ++y) {
        reinterpret_cast<DWORD*>(bits + y * locked.Pitch)[15] = 0xFF000000u | y;
    }
    EXPECT_EQ(surface->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(surface->UnlockRect(), D3D_OK);

    const RECT lastRow{0, 15, 16, 16};
    ASSERT_EQ(texture->LockRect(0, &locked, &lastRow, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<DWORD*>(locked.pBits)[15], 0xFF00000Fu);
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    surface->Release();
    texture->Release();

    // Full mip chain; block-compressed rows are rows of 4x4 blocks.
    ASSERT_EQ(device->CreateTexture(64, 16, 0, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &texture, nullptr),
              D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 7u);
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 16 * 8);
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    ASSERT_EQ(texture->GetLevelDesc(6, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 1u);
    EXPECT_EQ(desc.Height, 1u);
    texture->Release();

    EXPECT_EQ(
        device->CreateTexture(16, 16, 6, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
        D3DERR_INVALIDCALL);
    EXPECT_EQ(
        device->CreateTexture(0, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
        D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(16, 16, 1, 0, D3DFMT_D24X8, D3DPOOL_MANAGED, &texture, nullptr),
              D3DERR_INVALIDCALL);
}

TEST_F(ResourceTest, DeclarationsAreCheckedAndCopied) {
    const D3DVERTEXELEMENT9 mesh[] = {
        {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
        {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
        {0, 24, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
        {0, 32, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 1},
        D3DDECL_END()};
    IDirect3DVertexDeclaration9* declaration = nullptr;
    ASSERT_EQ(device->CreateVertexDeclaration(mesh, &declaration), D3D_OK);
    UINT count = 0;
    ASSERT_EQ(declaration->GetDeclaration(nullptr, &count), D3D_OK);
    EXPECT_EQ(count, 5u);
    D3DVERTEXELEMENT9 copy[5];
    ASSERT_EQ(declaration->GetDeclaration(copy, &count), D3D_OK);
    EXPECT_EQ(copy[3].Offset, 32);
    EXPECT_EQ(copy[4].Stream, 0xFF);
    declaration->Release();

    const D3DVERTEXELEMENT9 repeated[] = {
        {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
        {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
        D3DDECL_END()};
    const D3DVERTEXELEMENT9 misaligned[] = {
        {0, 2, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0}, D3DDECL_END()};
    EXPECT_EQ(device->CreateVertexDeclaration(repeated, &declaration), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateVertexDeclaration(misaligned, &declaration), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateVertexDeclaration(nullptr, &declaration), D3DERR_INVALIDCALL);
    EXPECT_EQ(declaration, nullptr);
}

}  // namespace
}  // namespace d3d9::testing
