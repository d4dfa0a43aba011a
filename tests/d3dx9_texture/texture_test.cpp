// D3DXCreateTextureFromFile*: DDS levels and formats, stb formats, power-of-two rounding
// for video frames, mip chains, colour keys, file paths, and bad data failing cleanly.
#include <d3dx9.h>

#include <cstring>
#include <fstream>

#include "tests/d3d9/d3d9_fixture.h"
#include "tests/d3dx9_texture/image_files.h"
#include "tests/d3dx9_texture/texture_fixture.h"
#include "tests/win32/temp_folder.h"

namespace {

using namespace texture_test;
using d3d9::ObjectType;

TEST_F(TextureTest, DdsArgbKeepsItsOwnLevels) {
    const Picture top = gradient(4, 2, false);
    const Picture middle = gradient(2, 1, false);
    const Picture last{1, 1, {0x12345678u}};
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(load(ddsArgb({top, middle, last}, true), &info), D3D_OK);
    EXPECT_EQ(info.Width, 4u);
    EXPECT_EQ(info.Height, 2u);
    EXPECT_EQ(info.Depth, 1u);
    EXPECT_EQ(info.MipLevels, 3u);
    EXPECT_EQ(info.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(info.ResourceType, D3DRTYPE_TEXTURE);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_DDS);

    ASSERT_EQ(texture->GetLevelCount(), 3u);
    EXPECT_EQ(desc(0).Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(desc(0).Pool, D3DPOOL_MANAGED);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(pixel(0, x, y), top.at(x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(pixel(1, 1, 0), middle.at(1, 0));
    EXPECT_EQ(pixel(2, 0, 0), 0x12345678u);
}

TEST_F(TextureTest, DdsWithoutAlphaReadsOpaque) {
    Picture picture = gradient(2, 2, false);  // alpha bytes present in the file but unused
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(load(ddsArgb({picture}, false), &info), D3D_OK);
    EXPECT_EQ(info.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(desc(0).Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(pixel(0, 1, 1), picture.at(1, 1) | 0xFF000000u);
}

TEST_F(TextureTest, DdsWithOneLevelGetsTheFullChainOfMeans) {
    Picture picture{4, 4, {}};
    for (int i = 0; i < 16; ++i) {
        picture.pixels.push_back(i % 2 ? 0xFF000000u : 0xFF0000FCu);
    }
    ASSERT_EQ(load(ddsArgb({picture}, true)), D3D_OK);
    ASSERT_EQ(texture->GetLevelCount(), 3u);
    EXPECT_EQ(desc(1).Width, 2u);
    EXPECT_EQ(pixel(1, 0, 0), 0xFF00007Eu);  // (0xFC + 0 + 0xFC + 0) / 4, rounded
    EXPECT_EQ(pixel(2, 0, 0), 0xFF00007Eu);
}

class CompressedDdsTest : public TextureTest, public ::testing::WithParamInterface<D3DFORMAT> {};

TEST_P(CompressedDdsTest, BlocksOfEveryLevelUploadAsStored) {
    const D3DFORMAT format = GetParam();
    const char* names[] = {"DXT1", "DXT3", "DXT5"};
    const char* name = names[format == D3DFMT_DXT1 ? 0 : format == D3DFMT_DXT3 ? 1 : 2];
    const UINT blockBytes = format == D3DFMT_DXT1 ? 8 : 16;
    // 8x8, 4x4, 2x2 and 1x1: the small levels still take one whole block.
    std::vector<Bytes> levels = {compressDxt(gradient(8, 8, false), format),
                                 compressDxt(gradient(4, 4, false), format),
                                 Bytes(blockBytes, 0x5A), Bytes(blockBytes, 0xA5)};
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(load(ddsCompressed(name, 8, 8, levels), &info), D3D_OK);
    EXPECT_EQ(info.Format, format);
    EXPECT_EQ(info.MipLevels, 4u);
    ASSERT_EQ(texture->GetLevelCount(), 4u);
    EXPECT_EQ(desc(0).Format, format);
    // Level 0 has two rows of two blocks.
    const Bytes firstRow(levels[0].begin(), levels[0].begin() + 2 * blockBytes);
    const Bytes secondRow(levels[0].begin() + 2 * blockBytes, levels[0].end());
    EXPECT_EQ(blockRow(0, 0, 2 * blockBytes), firstRow);
    EXPECT_EQ(blockRow(0, 1, 2 * blockBytes), secondRow);
    EXPECT_EQ(blockRow(1, 0, blockBytes), levels[1]);
    EXPECT_EQ(blockRow(3, 0, blockBytes), levels[3]);
}

INSTANTIATE_TEST_SUITE_P(Formats, CompressedDdsTest,
                         ::testing::Values(D3DFMT_DXT1, D3DFMT_DXT3, D3DFMT_DXT5));

TEST_F(TextureTest, CompressedDdsWithOneLevelGetsItsChainCompressed) {
    const Picture red{8, 8, std::vector<D3DCOLOR>(64, 0xFFFF0000u)};
    const Bytes blocks = compressDxt(red, D3DFMT_DXT1);
    ASSERT_EQ(load(ddsCompressed("DXT1", 8, 8, {blocks})), D3D_OK);
    ASSERT_EQ(texture->GetLevelCount(), 4u);
    // Every level of a flat picture is the same flat block.
    const Bytes first(blocks.begin(), blocks.begin() + 8);
    EXPECT_EQ(blockRow(1, 0, 8), first);
    EXPECT_EQ(blockRow(3, 0, 8), first);
}

TEST_F(TextureTest, CompressedDdsConvertsToPixelsOnRequest) {
    Picture picture{4, 4, std::vector<D3DCOLOR>(16, 0x80FF0000u)};
    picture.pixels[5] = 0x400000FFu;
    const Bytes data = ddsCompressed("DXT5", 4, 4, {compressDxt(picture, D3DFMT_DXT5)});
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(
                  device, data.data(), static_cast<UINT>(data.size()), D3DX_DEFAULT, D3DX_DEFAULT,
                  1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                  nullptr, &texture),
              D3D_OK);
    EXPECT_EQ(desc(0).Format, D3DFMT_A8R8G8B8);
    for (auto [x, y] : {std::pair{0, 0}, std::pair{1, 1}, std::pair{3, 3}}) {
        const D3DCOLOR expected = picture.at(x, y);
        const D3DCOLOR got = pixel(0, x, y);
        for (int shift : {0, 8, 16, 24}) {
            EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF),
                        static_cast<int>((expected >> shift) & 0xFF), 4)
                << x << "," << y << " shift " << shift;
        }
    }
}

TEST_F(TextureTest, TruncatedDdsFailsAtEveryLength) {
    const Bytes whole = ddsCompressed(
        "DXT1", 4, 4, {compressDxt(gradient(4, 4, true), D3DFMT_DXT1), Bytes(8), Bytes(8)});
    ASSERT_EQ(load(whole), D3D_OK);
    release();
    for (size_t size = 1; size < whole.size(); ++size) {
        const Bytes cut(whole.begin(), whole.begin() + size);
        EXPECT_EQ(load(cut), D3DXERR_INVALIDDATA) << "size " << size;
        EXPECT_EQ(texture, nullptr);
    }
    EXPECT_EQ(d3d9::liveObjects(ObjectType::Texture), 0);
}

TEST_F(TextureTest, BitFlippedDdsHeadersLoadOrFailButNeverCrash) {
    for (const Bytes& good :
         {ddsArgb({gradient(4, 4, false), gradient(2, 2, false)}, true),
          ddsCompressed("DXT5", 8, 8, {compressDxt(gradient(8, 8, false), D3DFMT_DXT5)})}) {
        for (size_t i = 0; i < 128; ++i) {
            for (BYTE flip : {BYTE{0x01}, BYTE{0x80}}) {
                Bytes damaged = good;
                damaged[i] ^= flip;
                const HRESULT hr = load(damaged);
                EXPECT_TRUE(hr == D3D_OK || hr == D3DXERR_INVALIDDATA ||
                            hr == D3DERR_NOTAVAILABLE || hr == D3DERR_INVALIDCALL)
                    << "byte " << i << ": " << std::hex << hr;
                release();
            }
        }
    }
    EXPECT_EQ(d3d9::liveObjects(ObjectType::Texture), 0);
}

TEST_F(TextureTest, DdsWithImpossibleHeadersFails) {
    const Bytes good = ddsArgb({gradient(4, 4, false)}, true);
    auto patched = [&](size_t offset, std::uint32_t value) {
        Bytes copy = good;
        std::memcpy(&copy[offset], &value, 4);
        return copy;
    };
    EXPECT_EQ(load(patched(12, 0)), D3DXERR_INVALIDDATA);            // height 0
    EXPECT_EQ(load(patched(16, 1u << 30)), D3DXERR_INVALIDDATA);     // width huge
    EXPECT_EQ(load(patched(12, 0xFFFFFFFFu)), D3DXERR_INVALIDDATA);  // height huge
    Bytes manyLevels = patched(8, 0x1 | 0x2 | 0x4 | 0x1000 | 0x20000);
    std::uint32_t levels = 9;  // a 4x4 image has three
    std::memcpy(&manyLevels[28], &levels, 4);
    EXPECT_EQ(load(manyLevels), D3DXERR_INVALIDDATA);
    EXPECT_EQ(load(patched(80, 0x4)), D3DXERR_INVALIDDATA);     // FOURCC flag, code 0
    EXPECT_EQ(load(patched(112, 0x200)), D3DXERR_INVALIDDATA);  // cube map
    EXPECT_EQ(load(patched(4, 0)), D3DXERR_INVALIDDATA);        // header size
    EXPECT_EQ(texture, nullptr);
}

TEST_F(TextureTest, PngWithAlphaKeepsItsPixels) {
    const Picture picture = gradient(4, 4, false);
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(load(png(picture, true), &info), D3D_OK);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PNG);
    EXPECT_EQ(info.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(info.MipLevels, 1u);
    EXPECT_EQ(desc(0).Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(texture->GetLevelCount(), 3u);
    EXPECT_EQ(pixel(0, 3, 2), picture.at(3, 2));
    EXPECT_EQ(pixel(0, 0, 0), picture.at(0, 0));
}

TEST_F(TextureTest, VideoFrameIsRoundedUpAndCopiedUnscaledIntoTheCorner) {
    const Picture picture = gradient(5, 3, true);
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(loadFrame(png(picture, false), &info), D3D_OK);
    EXPECT_EQ(info.Width, 5u);
    EXPECT_EQ(info.Height, 3u);
    EXPECT_EQ(info.Format, D3DFMT_X8R8G8B8);
    ASSERT_EQ(texture->GetLevelCount(), 1u);
    EXPECT_EQ(desc(0).Width, 8u);
    EXPECT_EQ(desc(0).Height, 4u);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(pixel(0, x, y), picture.at(x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(pixel(0, 5, 0) & 0x00FFFFFFu, 0u);
    EXPECT_EQ(pixel(0, 0, 3) & 0x00FFFFFFu, 0u);
}

TEST_F(TextureTest, NonPowerOfTwoRequestKeepsTheSize) {
    ASSERT_EQ(
        D3DXCreateTextureFromFileInMemoryEx(device, nullptr, 0, 0, 0, 0, 0, D3DFMT_UNKNOWN,
                                            D3DPOOL_MANAGED, 0, 0, 0, nullptr, nullptr, &texture),
        D3DERR_INVALIDCALL);
    const Bytes data = bmp(gradient(5, 3, true));
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(
                  device, data.data(), static_cast<UINT>(data.size()), D3DX_DEFAULT_NONPOW2,
                  D3DX_DEFAULT_NONPOW2, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                  D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
              D3D_OK);
    EXPECT_EQ(desc(0).Width, 5u);
    EXPECT_EQ(desc(0).Height, 3u);
}

TEST_F(TextureTest, ScaledImageFillsTheTexture) {
    Picture flat{3, 3, std::vector<D3DCOLOR>(9, 0xFF408020u)};
    ASSERT_EQ(load(png(flat, false)), D3D_OK);
    EXPECT_EQ(desc(0).Width, 4u);
    EXPECT_EQ(pixel(0, 3, 3), 0xFF408020u);
    EXPECT_EQ(pixel(0, 0, 0), 0xFF408020u);
}

TEST_F(TextureTest, ImageLargerThanTheDeviceTakesIsScaledToItsLargestTexture) {
    D3DCAPS9 caps{};
    ASSERT_EQ(device->GetDeviceCaps(&caps), D3D_OK);
    ASSERT_EQ(caps.MaxTextureWidth, 8192u);
    // A long strip, dark on its left half and light on its right: a few KB of PNG.
    const Bytes strip = greyPng(16384, 64, 0x20, 8192);
    ASSERT_LT(strip.size(), 8000u);
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(load(strip, &info), D3D_OK);
    EXPECT_EQ(info.Width, 16384u);
    EXPECT_EQ(desc(0).Width, 8192u);
    EXPECT_EQ(desc(0).Height, 64u);
    EXPECT_EQ(texture->GetLevelCount(), 14u);
    // Scaled, not cut: the light half fills the right half of the texture.
    EXPECT_EQ(pixel(0, 4000, 10), 0xFF202020u);
    EXPECT_EQ(pixel(0, 8191, 63), 0xFFDFDFDFu);
    // A video frame too is fitted rather than refused.
    ASSERT_EQ(loadFrame(strip, &info), D3D_OK);
    EXPECT_EQ(desc(0).Width, 8192u);
    // A side above what any image may have stays refused.
    EXPECT_EQ(load(greyPng(16385, 64, 0x20)), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture, nullptr);
}

TEST_F(TextureTest, BmpJpegAndTgaDecode) {
    const Picture picture = gradient(4, 4, true);
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(load(bmp(picture), &info), D3D_OK);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_BMP);
    EXPECT_EQ(pixel(0, 2, 1), picture.at(2, 1));

    ASSERT_EQ(load(tga(picture, false), &info), D3D_OK);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_TGA);
    // Stored bottom-up: the texture's first row is still the picture's top row.
    EXPECT_EQ(pixel(0, 1, 0), picture.at(1, 0));
    EXPECT_EQ(pixel(0, 3, 3), picture.at(3, 3));
    ASSERT_EQ(load(tga(picture, true), &info), D3D_OK);
    EXPECT_EQ(pixel(0, 1, 0), picture.at(1, 0));

    Picture flat{8, 8, std::vector<D3DCOLOR>(64, 0xFF6080A0u)};
    ASSERT_EQ(load(jpeg(flat), &info), D3D_OK);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_JPG);
    const D3DCOLOR got = pixel(0, 4, 4);
    for (int shift : {0, 8, 16}) {
        EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF),
                    static_cast<int>((0xFF6080A0u >> shift) & 0xFF), 3);
    }
}

TEST_F(TextureTest, TruncatedOrForeignDataFails) {
    const Bytes whole = png(gradient(8, 8, false), true);
    for (size_t size : {size_t{4}, size_t{20}, whole.size() / 2, whole.size() - 13}) {
        const Bytes cut(whole.begin(), whole.begin() + size);
        EXPECT_EQ(load(cut), D3DXERR_INVALIDDATA) << "size " << size;
    }
    const Bytes jpg = jpeg(gradient(8, 8, true));
    EXPECT_EQ(load(Bytes(jpg.begin(), jpg.begin() + 100)), D3DXERR_INVALIDDATA);
    EXPECT_EQ(load(Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
              D3DXERR_INVALIDDATA);
    EXPECT_EQ(load(Bytes(64, 0xEE)), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(d3d9::liveObjects(ObjectType::Texture), 0);
}

TEST_F(TextureTest, ColourKeyTurnsItsPixelsTransparent) {
    Picture picture{2, 1, {0xFFFF00FFu, 0xFF102030u}};
    const Bytes data = png(picture, true);
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(
                  device, data.data(), static_cast<UINT>(data.size()), D3DX_DEFAULT, D3DX_DEFAULT,
                  1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_FILTER_NONE,
                  0xFFFF00FFu, nullptr, nullptr, &texture),
              D3D_OK);
    EXPECT_EQ(pixel(0, 0, 0), 0u);
    EXPECT_EQ(pixel(0, 1, 0), 0xFF102030u);
}

TEST_F(TextureTest, FilesAreFoundWhateverTheSeparatorsAndCase) {
    TempFolder folder;
    std::filesystem::create_directories(folder.path() / "Texture" / "Hi");
    const Bytes data = tga(gradient(4, 4, true), false);
    std::ofstream(folder.path() / "Texture" / "Hi" / "Road.TGA", std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()),
               static_cast<std::streamsize>(data.size()));

    const std::string request = folder.path().string() + "\\texture/hi\\road.tga";
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXCreateTextureFromFileExA(device, request.c_str(), D3DX_DEFAULT, D3DX_DEFAULT,
                                           D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                           D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, nullptr, &texture),
              D3D_OK);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_TGA);
    // Draw records name the texture as the game asked for it.
    EXPECT_EQ(d3d9::debugName(texture), request);
    release();

    const std::wstring wide(request.begin(), request.end());
    ASSERT_EQ(D3DXCreateTextureFromFileExW(
                  device, wide.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                  D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
              D3D_OK);
    release();

    const std::string missing = folder.path().string() + "/texture/hi/absent.tga";
    EXPECT_EQ(
        D3DXCreateTextureFromFileExA(device, missing.c_str(), D3DX_DEFAULT, D3DX_DEFAULT,
                                     D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                     D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
        D3DERR_NOTFOUND);
    EXPECT_EQ(texture, nullptr);
}

}  // namespace
