#include "tests/d3dx9_texture/image_files.h"

#include <stb_dxt.h>
#include <stb_image_write.h>
#include <turbojpeg.h>
#include <zlib.h>

#include <cstring>

namespace texture_test {
namespace {

void put32(Bytes& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

Bytes ddsHeader(int width, int height, int levels, std::uint32_t pfFlags, std::uint32_t fourCc,
                std::uint32_t alphaMask) {
    Bytes out;
    put32(out, 0x20534444);  // "DDS "
    put32(out, 124);
    put32(out, 0x1 | 0x2 | 0x4 | 0x1000 | (levels > 1 ? 0x20000 : 0));
    put32(out, static_cast<std::uint32_t>(height));
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, 0);  // pitch or linear size
    put32(out, 0);  // depth
    put32(out, static_cast<std::uint32_t>(levels));
    for (int i = 0; i < 11; ++i) {
        put32(out, 0);
    }
    put32(out, 32);
    put32(out, pfFlags);
    put32(out, fourCc);
    const bool rgb = fourCc == 0;
    put32(out, rgb ? 32 : 0);
    put32(out, rgb ? 0x00FF0000u : 0);
    put32(out, rgb ? 0x0000FF00u : 0);
    put32(out, rgb ? 0x000000FFu : 0);
    put32(out, rgb ? alphaMask : 0);
    put32(out, 0x1000);  // caps: texture
    for (int i = 0; i < 4; ++i) {
        put32(out, 0);
    }
    return out;
}

void appendToBytes(void* context, void* data, int size) {
    auto* out = static_cast<Bytes*>(context);
    out->insert(out->end(), static_cast<std::uint8_t*>(data),
                static_cast<std::uint8_t*>(data) + size);
}

// R, G, B(, A) bytes, rows top first.
Bytes rgbBytes(const Picture& picture, bool alpha) {
    Bytes out;
    for (D3DCOLOR c : picture.pixels) {
        out.push_back(static_cast<std::uint8_t>(c >> 16));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
        out.push_back(static_cast<std::uint8_t>(c));
        if (alpha) {
            out.push_back(static_cast<std::uint8_t>(c >> 24));
        }
    }
    return out;
}

}  // namespace

Picture gradient(int width, int height, bool opaque) {
    Picture p{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t a = opaque ? 0xFF : static_cast<std::uint32_t>(0x40 + 16 * x);
            p.pixels.push_back(D3DCOLOR_ARGB(a, 30 * x + 10, 40 * y + 5, (x * 7 + y * 13) & 0xFF));
        }
    }
    return p;
}

Bytes ddsArgb(const std::vector<Picture>& levels, bool alpha) {
    Bytes out = ddsHeader(levels[0].width, levels[0].height, static_cast<int>(levels.size()),
                          0x40 | (alpha ? 0x1 : 0), 0, alpha ? 0xFF000000u : 0);
    for (const Picture& level : levels) {
        for (D3DCOLOR c : level.pixels) {
            put32(out, c);
        }
    }
    return out;
}

Bytes ddsCompressed(const char* fourCc, int width, int height, const std::vector<Bytes>& levels) {
    std::uint32_t code = 0;
    std::memcpy(&code, fourCc, 4);
    Bytes out = ddsHeader(width, height, static_cast<int>(levels.size()), 0x4, code, 0);
    for (const Bytes& level : levels) {
        out.insert(out.end(), level.begin(), level.end());
    }
    return out;
}

Bytes compressDxt(const Picture& picture, D3DFORMAT format) {
    Bytes out;
    const bool alpha = format != D3DFMT_DXT1;
    for (int by = 0; by < picture.height; by += 4) {
        for (int bx = 0; bx < picture.width; bx += 4) {
            unsigned char rgba[64];
            for (int y = 0; y < 4; ++y) {
                for (int x = 0; x < 4; ++x) {
                    const D3DCOLOR c = picture.at(bx + x, by + y);
                    unsigned char* p = rgba + (y * 4 + x) * 4;
                    p[0] = static_cast<unsigned char>(c >> 16);
                    p[1] = static_cast<unsigned char>(c >> 8);
                    p[2] = static_cast<unsigned char>(c);
                    p[3] = static_cast<unsigned char>(c >> 24);
                }
            }
            unsigned char block[16];
            stb_compress_dxt_block(block, rgba, alpha ? 1 : 0, 0);
            if (format == D3DFMT_DXT3) {
                // stb writes DXT5 alpha; DXT3 keeps explicit 4-bit alpha instead.
                unsigned char explicitAlpha[8] = {};
                for (int i = 0; i < 16; ++i) {
                    explicitAlpha[i / 2] |=
                        static_cast<unsigned char>((rgba[i * 4 + 3] >> 4) << ((i % 2) * 4));
                }
                std::memcpy(block, explicitAlpha, 8);
            }
            out.insert(out.end(), block, block + (alpha ? 16 : 8));
        }
    }
    return out;
}

Bytes png(const Picture& picture, bool alpha) {
    Bytes out;
    const Bytes pixels = rgbBytes(picture, alpha);
    const int channels = alpha ? 4 : 3;
    stbi_write_png_to_func(appendToBytes, &out, picture.width, picture.height, channels,
                           pixels.data(), picture.width * channels);
    return out;
}

Bytes greyPng(int width, int height, std::uint8_t grey, int square) {
    auto putBig = [](Bytes& out, std::uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            out.push_back(static_cast<std::uint8_t>(value >> shift));
        }
    };
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto chunk = [&](const char* kind, const Bytes& data) {
        putBig(out, static_cast<std::uint32_t>(data.size()));
        const size_t start = out.size();
        out.insert(out.end(), kind, kind + 4);
        out.insert(out.end(), data.begin(), data.end());
        putBig(out, static_cast<std::uint32_t>(
                        crc32(0, &out[start], static_cast<uInt>(out.size() - start))));
    };
    Bytes header;
    putBig(header, static_cast<std::uint32_t>(width));
    putBig(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 0, 0, 0, 0});  // 8-bit grey, not interlaced
    chunk("IHDR", header);
    Bytes rows;
    for (int y = 0; y < height; ++y) {
        rows.push_back(0);  // no filter
        for (int x = 0; x < width; ++x) {
            const bool inverse = square > 0 && (x / square + y / square) % 2 == 1;
            rows.push_back(inverse ? static_cast<std::uint8_t>(255 - grey) : grey);
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    Bytes packed(packedSize);
    compress2(packed.data(), &packedSize, rows.data(), static_cast<uLong>(rows.size()), 9);
    packed.resize(packedSize);
    chunk("IDAT", packed);
    chunk("IEND", {});
    return out;
}

Bytes bmp(const Picture& picture) {
    Bytes out;
    const Bytes pixels = rgbBytes(picture, false);
    stbi_write_bmp_to_func(appendToBytes, &out, picture.width, picture.height, 3, pixels.data());
    return out;
}

Bytes jpeg(const Picture& picture) {
    Bytes out;
    const Bytes pixels = rgbBytes(picture, false);
    stbi_write_jpg_to_func(appendToBytes, &out, picture.width, picture.height, 3, pixels.data(),
                           100);
    return out;
}

Bytes turboJpeg(const Picture& picture, bool progressive) {
    const Bytes pixels = rgbBytes(picture, false);
    tjhandle handle = tjInitCompress();
    unsigned char* data = nullptr;
    unsigned long size = 0;
    const int result =
        tjCompress2(handle, pixels.data(), picture.width, 0, picture.height, TJPF_RGB, &data, &size,
                    TJSAMP_420, 95, progressive ? TJFLAG_PROGRESSIVE : 0);
    Bytes out;
    if (result == 0) {
        out.assign(data, data + size);
    }
    tjFree(data);
    tjDestroy(handle);
    return out;
}

Bytes tgaHeader(int kind, int width, int height, int bitsPerPixel) {
    Bytes out(18, 0);
    out[2] = static_cast<std::uint8_t>(kind);
    out[12] = static_cast<std::uint8_t>(width);
    out[13] = static_cast<std::uint8_t>(width >> 8);
    out[14] = static_cast<std::uint8_t>(height);
    out[15] = static_cast<std::uint8_t>(height >> 8);
    out[16] = static_cast<std::uint8_t>(bitsPerPixel);
    out[17] = 0x20;  // top row first
    return out;
}

Bytes tgaRunLength(const Picture& picture) {
    Bytes out = tgaHeader(10, picture.width, picture.height, 24);
    auto putPixel = [&out](D3DCOLOR c) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
        out.push_back(static_cast<std::uint8_t>(c >> 16));
    };
    const std::vector<D3DCOLOR>& pixels = picture.pixels;
    for (size_t i = 0; i < pixels.size();) {
        size_t run = 1;
        while (i + run < pixels.size() && run < 128 && pixels[i + run] == pixels[i]) {
            ++run;
        }
        if (run > 1) {
            out.push_back(static_cast<std::uint8_t>(0x80 | (run - 1)));
            putPixel(pixels[i]);
        } else {
            // One literal pixel per packet keeps the writer simple; readers take both.
            out.push_back(0);
            putPixel(pixels[i]);
        }
        i += run;
    }
    return out;
}

Bytes tga(const Picture& picture, bool topDown) {
    Bytes out(18, 0);
    out[2] = 2;  // uncompressed true colour
    out[12] = static_cast<std::uint8_t>(picture.width);
    out[13] = static_cast<std::uint8_t>(picture.width >> 8);
    out[14] = static_cast<std::uint8_t>(picture.height);
    out[15] = static_cast<std::uint8_t>(picture.height >> 8);
    out[16] = 24;
    out[17] = topDown ? 0x20 : 0;
    for (int row = 0; row < picture.height; ++row) {
        const int y = topDown ? row : picture.height - 1 - row;
        for (int x = 0; x < picture.width; ++x) {
            const D3DCOLOR c = picture.at(x, y);
            out.push_back(static_cast<std::uint8_t>(c));
            out.push_back(static_cast<std::uint8_t>(c >> 8));
            out.push_back(static_cast<std::uint8_t>(c >> 16));
        }
    }
    return out;
}

}  // namespace texture_test
