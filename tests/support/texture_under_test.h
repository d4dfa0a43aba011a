// One texture under test on the device of the fixture Base, loaded from file bytes as the
// game and the video player load theirs, with read-backs of its levels. The derived fixture
// releases it in its TearDown, before Base's.
#pragma once

#include <gtest/gtest.h>

#include <d3dx9.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace morvale_testing {

template <class Base>
class TextureUnderTest : public Base {
protected:
    using FileBytes = std::vector<std::uint8_t>;

    // As the game loads art: everything from the file, managed pool.
    HRESULT load(const FileBytes& data, D3DXIMAGE_INFO* info = nullptr) {
        release();
        return D3DXCreateTextureFromFileInMemoryEx(
            this->device, data.data(), static_cast<UINT>(data.size()), D3DX_DEFAULT, D3DX_DEFAULT,
            D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, info,
            nullptr, &texture);
    }

    // As the video player loads a frame.
    HRESULT loadFrame(const FileBytes& data, D3DXIMAGE_INFO* info) {
        release();
        return D3DXCreateTextureFromFileInMemoryEx(
            this->device, data.data(), static_cast<UINT>(data.size()), D3DX_DEFAULT, D3DX_DEFAULT,
            1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0, info,
            nullptr, &texture);
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

    FileBytes blockRow(UINT level, UINT row, UINT bytes) {
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        const BYTE* start = static_cast<BYTE*>(locked.pBits) + row * locked.Pitch;
        FileBytes out(start, start + bytes);
        texture->UnlockRect(level);
        return out;
    }

    IDirect3DTexture9* texture = nullptr;
};

}  // namespace morvale_testing
