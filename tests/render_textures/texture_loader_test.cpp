// The texture loader: the extension rule on file names only, textures from files, and the
// shared checkerboard that stands in for every texture that cannot be loaded.
#include "engine/render/texture/texture_loader.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "tests/render_effects/effect_fixture.h"

namespace kesh::testing {
namespace {

using TextureLoaderTest = EffectDeviceTest;

int liveTextures() {
    return d3d9::liveObjects(d3d9::ObjectType::Texture);
}

D3DCOLOR pixel(IDirect3DTexture9* texture, UINT x, UINT y) {
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    D3DCOLOR value = 0;
    std::memcpy(&value, static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch + x * 4, 4);
    texture->UnlockRect(0);
    return value;
}

// An uncompressed square true-colour TGA, bottom-up, all pixels one colour (B, G, R, A).
void writeTga(const std::string& path, unsigned char side = 2) {
    std::vector<unsigned char> bytes = {0, 0, 2, 0,    0, 0,    0, 0,  0,
                                        0, 0, 0, side, 0, side, 0, 32, 8};
    for (int i = 0; i < side * side; ++i) {
        bytes.insert(bytes.end(), {0x10, 0x20, 0x30, 0xFF});
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

TEST_F(TextureLoaderTest, TheExtensionReplacesOrCompletesTheFileNameOnly) {
    TextureLoader loader(dx.get(), "art.v2/texture/");
    EXPECT_EQ(loader.pathOf("road.dds"), "art.v2/texture/road.dds");
    loader.setExtension(".tga");
    EXPECT_EQ(loader.pathOf("road.dds"), "art.v2/texture/road.tga");
    EXPECT_EQ(loader.pathOf("road"), "art.v2/texture/road.tga");
    EXPECT_EQ(loader.pathOf("gui.set/panel"), "art.v2/texture/gui.set/panel.tga");
    EXPECT_EQ(loader.pathOf("gui.set\\panel.old.png"), "art.v2/texture/gui.set\\panel.old.tga");
}

TEST_F(TextureLoaderTest, AFileIsLoadedUnderTheForcedExtension) {
    writeTga(folder + "road.tga");
    TextureLoader loader(dx.get(), folder);
    loader.setExtension(".tga");
    IDirect3DTexture9* texture = loader.load(ResourceId("road.dds"));
    ASSERT_NE(texture, nullptr);
    EXPECT_NE(texture, loader.fallbackTexture());
    EXPECT_EQ(pixel(texture, 1, 1), 0xFF302010u);
    loader.release(texture);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(liveTextures(), 0);
    EXPECT_TRUE(morvale_testing::linesOf("resource").empty());
}

TEST_F(TextureLoaderTest, FailuresShareOneCheckerboardReleasedWithItsLastUser) {
    TextureLoader loader(dx.get(), folder);
    IDirect3DTexture9* first = loader.load(ResourceId("missing.dds"));
    IDirect3DTexture9* second = loader.load(ResourceId("other.dds"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(liveTextures(), 1);
    const std::vector<std::string> lines = morvale_testing::linesOf("resource");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "Cannot load resource " + folder + "missing.dds");

    EXPECT_EQ(pixel(first, 0, 0), 0xFF000000u);
    EXPECT_EQ(pixel(first, 4, 0), 0xFFFF8080u);
    EXPECT_EQ(pixel(first, 4, 4), 0xFF000000u);
    EXPECT_EQ(pixel(first, 15, 8), 0xFFFF8080u);

    loader.release(first);
    EXPECT_EQ(liveTextures(), 1);
    loader.release(second);
    EXPECT_EQ(liveTextures(), 0);
    EXPECT_EQ(loader.fallbackTexture(), nullptr);

    IDirect3DTexture9* third = loader.load(ResourceId("again.dds"));
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(liveTextures(), 1);
    loader.release(third);
    EXPECT_EQ(liveTextures(), 0);
}

TEST_F(TextureLoaderTest, AFileIsLoadedOnceUnderEveryNameOfIt) {
    writeTga(folder + "road.tga");
    std::filesystem::create_symlink(folder + "road.tga", folder + "alias.tga");
    TextureLoader loader(dx.get(), folder);
    std::vector<IDirect3DTexture9*> loaded;
    for (const char* name : {"road.tga", "ROAD.TGA", "./road.tga", "alias.tga"}) {
        loaded.push_back(loader.load(ResourceId(name)));
        EXPECT_EQ(loaded.back(), loaded.front()) << name;
    }
    EXPECT_NE(loaded.front(), loader.fallbackTexture());
    EXPECT_EQ(liveTextures(), 1);
    // The texture goes with the last name that holds it; the next load reads the file again.
    for (IDirect3DTexture9*& texture : loaded) {
        EXPECT_EQ(liveTextures(), 1);
        loader.release(texture);
    }
    EXPECT_EQ(liveTextures(), 0);
    IDirect3DTexture9* again = loader.load(ResourceId("alias.tga"));
    EXPECT_EQ(pixel(again, 1, 1), 0xFF302010u);
    loader.release(again);
}

TEST_F(TextureLoaderTest, TexturesPastTheDeviceMemoryFailAsUnreadableFilesDo) {
    // Lightmaps of 128 x 128 with their mip chains; the memory holds two and the room that
    // large textures leave for small ones.
    constexpr unsigned long long kLightmap = 87380;
    struct Restore {
        ~Restore() { d3d9::setTextureMemory(0); }
    } restore;
    d3d9::setTextureMemory(2 * kLightmap + (1 << 20));
    std::filesystem::create_directories(folder + "lightmaps");
    for (const char* name : {"a.tga", "b.tga", "c.tga"}) {
        writeTga(folder + "lightmaps/" + name, 128);
    }
    TextureLoader loader(dx.get(), folder + "lightmaps/");
    IDirect3DTexture9* a = loader.load(ResourceId("a.tga"));
    IDirect3DTexture9* b = loader.load(ResourceId("b.tga"));
    IDirect3DTexture9* c = loader.load(ResourceId("c.tga"));
    EXPECT_NE(b, loader.fallbackTexture());
    EXPECT_EQ(c, loader.fallbackTexture());
    EXPECT_EQ(morvale_testing::linesOf("resource"),
              std::vector<std::string>{"Cannot load resource " + folder + "lightmaps/c.tga"});
    // The device answers as Direct3D does when video memory runs out; memory that is not
    // video memory is not counted.
    IDirect3DTexture9* more = nullptr;
    EXPECT_EQ(
        device->CreateTexture(128, 128, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &more, nullptr),
        D3DERR_OUTOFVIDEOMEMORY);
    ASSERT_EQ(
        device->CreateTexture(128, 128, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &more, nullptr),
        D3D_OK);
    more->Release();
    // Memory given back is there for the next.
    loader.release(a);
    loader.release(c);
    c = loader.load(ResourceId("c.tga"));
    EXPECT_EQ(pixel(c, 127, 127), 0xFF302010u);
    loader.release(b);
    loader.release(c);
}

TEST_F(TextureLoaderTest, CreateTextureAndTheSurfaceLockThrowOnFailure) {
    EXPECT_THROW(create_texture(device, 0, 0, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED),
                 std::runtime_error);
    const win32::ComPtr<IDirect3DTexture9> texture =
        create_texture(device, 4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
    win32::ComPtr<IDirect3DSurface9> surface;
    ASSERT_EQ(texture->GetSurfaceLevel(0, surface.out()), D3D_OK);
    surface_scoped_lock lock(surface.get(), 0);
    EXPECT_NE(lock.bits(), nullptr);
    EXPECT_GE(lock.pitch(), 16);
    // Locked twice is a failure the second lock reports.
    EXPECT_THROW(surface_scoped_lock(surface.get(), 0), std::runtime_error);
}

}  // namespace
}  // namespace kesh::testing
