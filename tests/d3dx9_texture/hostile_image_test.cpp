// Image files whose headers promise more than they hold: each is refused before anything is
// sized from the header, and files that hold what they promise still load, progressive
// JPEGs included.
#include <d3dx9.h>

#include <cstdlib>
#include <utility>

#include "d3d9/seams.h"

#include "tests/d3dx9_texture/image_files.h"
#include "tests/d3dx9_texture/texture_fixture.h"

namespace {

using namespace texture_test;

void putBigEndian32(Bytes& bytes, size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
    }
}

void putLittleEndian32(Bytes& bytes, size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// The offset of a JPEG's frame header (SOF0 or SOF2) height field.
size_t jpegFrameSize(const Bytes& jpeg) {
    for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            return i + 5;
        }
    }
    ADD_FAILURE() << "no frame header";
    return 0;
}

Bytes withJpegSize(Bytes jpeg, int width, int height) {
    const size_t at = jpegFrameSize(jpeg);
    jpeg[at] = static_cast<std::uint8_t>(height >> 8);
    jpeg[at + 1] = static_cast<std::uint8_t>(height);
    jpeg[at + 2] = static_cast<std::uint8_t>(width >> 8);
    jpeg[at + 3] = static_cast<std::uint8_t>(width);
    return jpeg;
}

// The offset of the first marker 0xFF `code` after the start-of-image marker.
size_t markerAt(const Bytes& jpeg, std::uint8_t code) {
    for (size_t i = 2; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code) {
            return i;
        }
    }
    ADD_FAILURE() << "no marker " << int(code);
    return 0;
}

void expectNear(D3DCOLOR got, D3DCOLOR want, int tolerance) {
    for (int shift : {0, 8, 16}) {
        EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF),
                    static_cast<int>((want >> shift) & 0xFF), tolerance)
            << std::hex << got << " against " << want;
    }
}

// Soft horizontal and vertical ramps: JPEG keeps them within a few steps.
Picture ramps(int width, int height) {
    Picture p{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            p.pixels.push_back(D3DCOLOR_ARGB(0xFF, 40 + 4 * x, 60 + 3 * y, 120));
        }
    }
    return p;
}

TEST_F(TextureTest, TgaHeadersThatPromiseMoreThanTheDataHoldFail) {
    // 23 bytes declaring 17000 x 21000: above the side limit.
    Bytes huge = tgaHeader(2, 17000, 21000, 24);
    huge.resize(23, 0x55);
    EXPECT_EQ(load(huge), D3DXERR_INVALIDDATA);
    // 77 bytes declaring 8224 x 8224: within the limit, but 59 bytes of 200 million.
    Bytes short8224 = tgaHeader(2, 8224, 8224, 24);
    short8224.resize(77, 0x55);
    EXPECT_EQ(load(short8224), D3DXERR_INVALIDDATA);
    // A good file one byte short.
    Bytes cut = tga(gradient(4, 4, true), true);
    cut.pop_back();
    EXPECT_EQ(load(cut), D3DXERR_INVALIDDATA);
    // Run-length: a few packets cannot cover 16384 x 16384 pixels, nor a good file cut short.
    Bytes runs = tgaHeader(10, 16384, 16384, 32);
    for (int i = 0; i < 8; ++i) {
        runs.insert(runs.end(), {0xFF, 1, 2, 3, 4});
    }
    EXPECT_EQ(load(runs), D3DXERR_INVALIDDATA);
    const Bytes packed = tgaRunLength(gradient(8, 8, true));
    EXPECT_EQ(load(Bytes(packed.begin(), packed.end() - 2)), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture, nullptr);
}

TEST_F(TextureTest, TgaThatHoldsItsPixelsLoads) {
    Picture picture = gradient(8, 8, true);
    for (int x = 0; x < 8; ++x) {
        picture.pixels[3 * 8 + x] = 0xFF102030u;  // a run across a whole row
    }
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(load(tgaRunLength(picture), &info), D3D_OK);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_TGA);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(pixel(0, x, y), picture.at(x, y)) << x << "," << y;
        }
    }
    // The longest side a file may have, as 8-bit grey: the file is read and fitted to the
    // device, whose textures are at most 8192 wide.
    Bytes wide = tgaHeader(3, 16384, 1, 8);
    wide.resize(wide.size() + 16384, 0x80);
    info = {};
    EXPECT_EQ(loadFrame(wide, &info), D3D_OK);
    EXPECT_EQ(info.Width, 16384u);
    EXPECT_EQ(desc(0).Width, 8192u);
    // One pixel more is refused by the reader.
    Bytes wider = tgaHeader(3, 16385, 1, 8);
    wider.resize(wider.size() + 16385, 0x80);
    info = {};
    EXPECT_EQ(loadFrame(wider, &info), D3DXERR_INVALIDDATA);
    EXPECT_EQ(info.Width, 0u);
}

TEST_F(TextureTest, PngAndBmpHeadersThatPromiseMoreThanTheDataHoldFail) {
    // A PNG's pixels cannot outgrow what its bytes inflate to.
    Bytes bigPng = png(gradient(8, 8, false), true);
    putBigEndian32(bigPng, 16, 16000);
    putBigEndian32(bigPng, 20, 16000);
    EXPECT_EQ(load(bigPng), D3DXERR_INVALIDDATA);
    putBigEndian32(bigPng, 16, 20000);
    EXPECT_EQ(load(bigPng), D3DXERR_INVALIDDATA);

    // A chunk that claims more bytes than the file has would be allocated at its claim.
    Bytes longChunk = png(gradient(8, 8, false), true);
    ASSERT_EQ(load(longChunk), D3D_OK);
    release();
    putBigEndian32(longChunk, 33, 0x40000000);
    EXPECT_EQ(load(longChunk), D3DXERR_INVALIDDATA);
    Bytes noEnd = png(gradient(8, 8, false), true);
    noEnd.resize(noEnd.size() - 12);
    EXPECT_EQ(load(noEnd), D3DXERR_INVALIDDATA);

    // A BMP's rows are stored as they are.
    Bytes bigBmp = bmp(gradient(8, 8, true));
    putLittleEndian32(bigBmp, 18, 12000);
    putLittleEndian32(bigBmp, 22, 12000);
    EXPECT_EQ(load(bigBmp), D3DXERR_INVALIDDATA);
    Bytes cutBmp = bmp(gradient(8, 8, true));
    cutBmp.resize(cutBmp.size() - 3);
    EXPECT_EQ(load(cutBmp), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture, nullptr);
}

// Black and white squares of `side` pixels.
Picture checkerboard(int width, int height, int side) {
    Picture p{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            p.pixels.push_back((x / side + y / side) % 2 == 0 ? 0xFF000000u : 0xFFFFFFFFu);
        }
    }
    return p;
}

TEST_F(TextureTest, WellCompressedImagesLoadWhateverTheirFileSize) {
    // A full-screen overlay of 17 KB, and 1280 x 1280 checkerboards: each far more pixels than
    // 32 per byte of file.
    const Bytes overlay = greyPng(1920, 1080, 0x20, 60);
    ASSERT_LT(overlay.size(), 20000u);
    const Bytes board = greyPng(1280, 1280, 0, 64);
    ASSERT_LT(board.size(), 8000u);
    const Bytes boardJpeg = turboJpeg(checkerboard(1280, 1280, 64), true);
    ASSERT_LT(boardJpeg.size(), 19000u);
    for (const Bytes* file : {&overlay, &board, &boardJpeg}) {
        ASSERT_EQ(load(*file), D3D_OK) << file->size() << " bytes";
        EXPECT_EQ(desc(0).Width, 2048u);
    }
    // As they are, unscaled.
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(loadFrame(overlay, &info), D3D_OK);
    EXPECT_EQ(pixel(0, 1919, 1079), 0xFF202020u);
    EXPECT_EQ(pixel(0, 61, 0), 0xFFDFDFDFu);
    ASSERT_EQ(loadFrame(board, &info), D3D_OK);
    EXPECT_EQ(pixel(0, 70, 8), 0xFFFFFFFFu);
    ASSERT_EQ(loadFrame(boardJpeg, &info), D3D_OK);
    expectNear(pixel(0, 70, 8), 0xFFFFFFFFu, 6);
    expectNear(pixel(0, 1270, 1250), 0xFF000000u, 6);
}

TEST_F(TextureTest, DecodedImagesAreBoundedByBytesNotByTheirFileSize) {
    // 256 MB decoded at the most: 16384 x 4096 decodes (into a small texture: the device takes
    // no side above 8192), one row more is refused before anything is allocated.
    auto decode = [this](const Bytes& file, D3DXIMAGE_INFO* info) {
        release();
        return D3DXCreateTextureFromFileInMemoryEx(
            device, file.data(), static_cast<UINT>(file.size()), 64, 16, 1, 0, D3DFMT_UNKNOWN,
            D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0, info, nullptr, &texture);
    };
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(decode(greyPng(16384, 4096, 0x33), &info), D3D_OK);
    EXPECT_EQ(info.Width, 16384u);
    EXPECT_EQ(info.Height, 4096u);
    EXPECT_EQ(pixel(0, 63, 15), 0xFF333333u);
    EXPECT_EQ(decode(greyPng(16384, 4097, 0x33), &info), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture, nullptr);
}

TEST_F(TextureTest, ProgressiveAndBaselineJpegDecode) {
    const Picture picture = ramps(24, 16);
    for (bool progressive : {true, false}) {
        const Bytes file = turboJpeg(picture, progressive);
        ASSERT_FALSE(file.empty());
        // Progressive files have SOF2, baseline SOF0.
        EXPECT_EQ(file[jpegFrameSize(file) - 4], progressive ? 0xC2 : 0xC0);
        D3DXIMAGE_INFO info{};
        ASSERT_EQ(loadFrame(file, &info), D3D_OK) << "progressive " << progressive;
        EXPECT_EQ(info.ImageFileFormat, D3DXIFF_JPG);
        EXPECT_EQ(info.Width, 24u);
        EXPECT_EQ(info.Height, 16u);
        EXPECT_EQ(info.Format, D3DFMT_X8R8G8B8);
        for (auto [x, y] : {std::pair{0, 0}, {12, 8}, {23, 15}, {5, 11}}) {
            const D3DCOLOR got = pixel(0, x, y);
            EXPECT_EQ(got >> 24, 0xFFu);
            expectNear(got, picture.at(x, y), 6);
        }
    }
}

TEST_F(TextureTest, JpegHeadersThatPromiseMoreThanTheDataHoldFail) {
    const Bytes file = turboJpeg(ramps(16, 16), true);
    // Far more 8x8 blocks than the file has bits.
    EXPECT_EQ(load(withJpegSize(file, 16000, 16000)), D3DXERR_INVALIDDATA);
    EXPECT_EQ(load(withJpegSize(file, 17000, 8)), D3DXERR_INVALIDDATA);
    // Cut before the scans: no frame to decode.
    const size_t scans = markerAt(file, 0xDA);
    EXPECT_EQ(load(Bytes(file.begin(), file.begin() + scans)), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture, nullptr);
}

TEST_F(TextureTest, JpegsThatDecodeWithWarningsLoad) {
    const Picture picture = checkerboard(64, 64, 16);
    const Bytes file = turboJpeg(picture, false);
    // "Extraneous bytes before marker": stray bytes between two header segments.
    Bytes stray = file;
    const size_t scans = markerAt(stray, 0xDA);
    stray.insert(stray.begin() + static_cast<std::ptrdiff_t>(scans), {0x12, 0x34, 0x56});
    // "Premature end of data segment": the scan stops half way, at the end-of-image marker.
    Bytes shortScan(file.begin(),
                    file.begin() + static_cast<std::ptrdiff_t>((scans + file.size()) / 2));
    shortScan.insert(shortScan.end(), {0xFF, 0xD9});
    // "Premature end of JPEG file": a download cut short.
    const Bytes cut(file.begin(), file.end() - 40);
    for (const auto& [name, damaged] :
         {std::pair{"stray bytes", stray}, {"short scan", shortScan}, {"cut", cut}}) {
        ASSERT_EQ(load(damaged), D3D_OK) << name;
        // The top rows come before any damage.
        expectNear(pixel(0, 4, 4), picture.at(4, 4), 6);
        expectNear(pixel(0, 20, 4), picture.at(20, 4), 6);
    }
}

TEST_F(TextureTest, ImagesPastTheVideoMemoryLeftAreRefusedBeforeTheirDataIsRead) {
    // Lightmaps of 2048 x 2048 in a few kilobytes each, with their mip chains; the memory
    // holds one and the room large textures leave for small ones.
    struct Restore {
        ~Restore() { d3d9::setTextureMemory(0); }
    } restore;
    d3d9::setTextureMemory(22369620 + (1 << 20));
    const Bytes lightmap = greyPng(2048, 2048, 0x40);
    const Bytes photo = turboJpeg(gradient(2048, 2048, true), false);
    // The headers as they are, the data cut short.
    const Bytes cutPng(lightmap.begin(), lightmap.begin() + 60);
    const Bytes cutJpeg(photo.begin(), photo.begin() + photo.size() / 4);
    IDirect3DTexture9* first = nullptr;
    ASSERT_EQ(load(lightmap), D3D_OK);
    std::swap(first, texture);
    for (const Bytes* file : {&lightmap, &photo, &cutPng, &cutJpeg}) {
        EXPECT_EQ(load(*file), D3DERR_OUTOFVIDEOMEMORY) << file->size() << " bytes";
        EXPECT_EQ(texture, nullptr);
    }
    first->Release();
    EXPECT_EQ(load(cutPng), D3DXERR_INVALIDDATA);
    EXPECT_EQ(load(photo), D3D_OK);
}

}  // namespace
