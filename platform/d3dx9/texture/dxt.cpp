// DXT1/3/5 blocks to 32-bit BGRA pixels and back (stb's encoder), so that compressed
// images can be converted, resized and given their missing mip levels.
#include <stb_dxt.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "texture/image.h"

namespace d3dx9 {
namespace {

using Colour = std::array<BYTE, 4>;  // B, G, R, A

Colour from565(WORD c) {
    const BYTE r = static_cast<BYTE>((c >> 11) & 0x1F);
    const BYTE g = static_cast<BYTE>((c >> 5) & 0x3F);
    const BYTE b = static_cast<BYTE>(c & 0x1F);
    return {static_cast<BYTE>((b << 3) | (b >> 2)), static_cast<BYTE>((g << 2) | (g >> 4)),
            static_cast<BYTE>((r << 3) | (r >> 2)), 255};
}

Colour mix(const Colour& a, const Colour& b, int wa, int wb) {
    Colour out{};
    for (int i = 0; i < 3; ++i) {
        out[i] = static_cast<BYTE>((a[i] * wa + b[i] * wb) / (wa + wb));
    }
    out[3] = 255;
    return out;
}

// The 16 texels of a colour block; `threeColour` allows DXT1's transparent mode.
void decodeColours(const BYTE* block, bool threeColour, std::array<Colour, 16>& texels) {
    WORD c0 = 0;
    WORD c1 = 0;
    std::memcpy(&c0, block, 2);
    std::memcpy(&c1, block + 2, 2);
    std::array<Colour, 4> palette;
    palette[0] = from565(c0);
    palette[1] = from565(c1);
    if (c0 > c1 || !threeColour) {
        palette[2] = mix(palette[0], palette[1], 2, 1);
        palette[3] = mix(palette[0], palette[1], 1, 2);
    } else {
        palette[2] = mix(palette[0], palette[1], 1, 1);
        palette[3] = {0, 0, 0, 0};
    }
    DWORD bits = 0;
    std::memcpy(&bits, block + 4, 4);
    for (int i = 0; i < 16; ++i) {
        texels[i] = palette[(bits >> (2 * i)) & 3];
    }
}

void decodeBlock(D3DFORMAT format, const BYTE* block, std::array<Colour, 16>& texels) {
    if (format == D3DFMT_DXT1) {
        decodeColours(block, true, texels);
        return;
    }
    decodeColours(block + 8, false, texels);
    if (format == D3DFMT_DXT3) {
        for (int i = 0; i < 16; ++i) {
            const BYTE nibble = static_cast<BYTE>((block[i / 2] >> ((i % 2) * 4)) & 0xF);
            texels[i][3] = static_cast<BYTE>(nibble * 17);
        }
        return;
    }
    const int a0 = block[0];
    const int a1 = block[1];
    std::array<BYTE, 8> alphas;
    alphas[0] = static_cast<BYTE>(a0);
    alphas[1] = static_cast<BYTE>(a1);
    if (a0 > a1) {
        for (int i = 1; i < 7; ++i) {
            alphas[i + 1] = static_cast<BYTE>(((7 - i) * a0 + i * a1) / 7);
        }
    } else {
        for (int i = 1; i < 5; ++i) {
            alphas[i + 1] = static_cast<BYTE>(((5 - i) * a0 + i * a1) / 5);
        }
        alphas[6] = 0;
        alphas[7] = 255;
    }
    unsigned long long bits = 0;
    for (int i = 0; i < 6; ++i) {
        bits |= static_cast<unsigned long long>(block[2 + i]) << (8 * i);
    }
    for (int i = 0; i < 16; ++i) {
        texels[i][3] = alphas[(bits >> (3 * i)) & 7];
    }
}

}  // namespace

ImageLevel decodeDxt(D3DFORMAT format, const ImageLevel& level) {
    ImageLevel out;
    out.width = level.width;
    out.height = level.height;
    out.bytes = LevelBytes(4ull * level.width * level.height);
    const UINT blocksWide = (level.width + 3) / 4;
    const UINT blocksHigh = (level.height + 3) / 4;
    const UINT size = blockBytes(format);
    std::array<Colour, 16> texels;
    for (UINT by = 0; by < blocksHigh; ++by) {
        for (UINT bx = 0; bx < blocksWide; ++bx) {
            decodeBlock(format, &level.bytes[(1ull * by * blocksWide + bx) * size], texels);
            for (UINT i = 0; i < 16; ++i) {
                const UINT x = bx * 4 + i % 4;
                const UINT y = by * 4 + i / 4;
                if (x < level.width && y < level.height) {
                    std::memcpy(&out.bytes[4ull * (1ull * y * level.width + x)], texels[i].data(),
                                4);
                }
            }
        }
    }
    return out;
}

ImageLevel encodeDxt(D3DFORMAT format, const ImageLevel& level) {
    ImageLevel out;
    out.width = level.width;
    out.height = level.height;
    const UINT blocksWide = (level.width + 3) / 4;
    const UINT blocksHigh = (level.height + 3) / 4;
    const UINT size = blockBytes(format);
    out.bytes = LevelBytes(1ull * blocksWide * blocksHigh * size);
    for (UINT by = 0; by < blocksHigh; ++by) {
        for (UINT bx = 0; bx < blocksWide; ++bx) {
            // RGBA texels, edges repeated into blocks that pass the image's border.
            unsigned char rgba[64];
            for (UINT i = 0; i < 16; ++i) {
                const UINT x = std::min(bx * 4 + i % 4, level.width - 1);
                const UINT y = std::min(by * 4 + i / 4, level.height - 1);
                const BYTE* p = &level.bytes[4ull * (1ull * y * level.width + x)];
                rgba[i * 4] = p[2];
                rgba[i * 4 + 1] = p[1];
                rgba[i * 4 + 2] = p[0];
                rgba[i * 4 + 3] = p[3];
            }
            unsigned char block[16];
            stb_compress_dxt_block(block, rgba, format == D3DFMT_DXT1 ? 0 : 1, 0);
            if (format == D3DFMT_DXT3) {
                // The colour half is shared with DXT5; the alpha half is explicit 4-bit.
                std::memset(block, 0, 8);
                for (int i = 0; i < 16; ++i) {
                    block[i / 2] |=
                        static_cast<unsigned char>((rgba[i * 4 + 3] >> 4) << ((i % 2) * 4));
                }
            }
            std::memcpy(&out.bytes[(1ull * by * blocksWide + bx) * size], block, size);
        }
    }
    return out;
}

}  // namespace d3dx9
