// A null device and one texture under test, loaded as the game and the video player load
// theirs, released at the end, with read-backs of its levels.
#pragma once

#include <d3dx9.h>

#include <cstring>

#include "tests/d3d9/d3d9_fixture.h"
#include "tests/d3dx9_texture/image_files.h"

namespace texture_test {

class TextureTest : public d3d9::testing::DeviceTest {
protected:
    void TearDown() override {
        if (texture != nullptr) {
            EXPECT_EQ(texture->Release(), 0u);
        }
        DeviceTest::TearDown();
    }

    // As the game loads art: everything from the file, managed pool.
    HRESULT loadDefault(const Bytes& data, D3DXIMAGE_INFO* info = nullptr) {
        release();
        return D3DXCreateTextureFromFileInMemoryEx(
            device, data.data(), static_cast<UINT>(data.size()), D3DX_DEFAULT, D3DX_DEFAULT,
            D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, info,
            nullptr, &texture);
    }

    // As the video player loads a frame.
    HRESULT loadFrame(const Bytes& data, D3DXIMAGE_INFO* info) {
        release();
        return D3DXCreateTextureFromFileInMemoryEx(
            device, data.data(), static_cast<UINT>(data.size()), D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
            D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0, info, nullptr,
            &texture);
    }

    void release() {
        if (texture != nullptr) {
            texture->Release();
            texture = nullptr;
        }
    }

    D3DSURFACE_DESC desc(UINT level) {
        D3DSURFACE_DESC d{};
        EXPECT_EQ(texture->GetLevelDesc(level, &d), D3D_OK);
        return d;
    }

    D3DCOLOR pixel(UINT level, int x, int y) {
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        D3DCOLOR value = 0;
        std::memcpy(&value, static_cast<BYTE*>(locked.pBits) + y * locked.Pitch + x * 4, 4);
        texture->UnlockRect(level);
        return value;
    }

    Bytes blockRow(UINT level, UINT row, UINT bytes) {
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        const BYTE* start = static_cast<BYTE*>(locked.pBits) + row * locked.Pitch;
        Bytes out(start, start + bytes);
        texture->UnlockRect(level);
        return out;
    }

    IDirect3DTexture9* texture = nullptr;
};

}  // namespace texture_test
