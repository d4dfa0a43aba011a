#include "tools/artlib/dds_writer.h"

#include <stb_dxt.h>

#include <algorithm>

namespace artlib {

namespace {

constexpr std::uint32_t capsFlag = 0x1;
constexpr std::uint32_t heightFlag = 0x2;
constexpr std::uint32_t widthFlag = 0x4;
constexpr std::uint32_t pitchFlag = 0x8;
constexpr std::uint32_t pixelFormatFlag = 0x1000;
constexpr std::uint32_t mipCountFlag = 0x20000;
constexpr std::uint32_t linearSizeFlag = 0x80000;

constexpr std::uint32_t alphaPixels = 0x1;
constexpr std::uint32_t fourCcPixels = 0x4;
constexpr std::uint32_t rgbPixels = 0x40;

constexpr std::uint32_t complexCaps = 0x8;
constexpr std::uint32_t textureCaps = 0x1000;
constexpr std::uint32_t mipMapCaps = 0x400000;

std::uint32_t fourCc(const char* code) {
    return static_cast<std::uint32_t>(code[0]) | static_cast<std::uint32_t>(code[1]) << 8 |
           static_cast<std::uint32_t>(code[2]) << 16 | static_cast<std::uint32_t>(code[3]) << 24;
}

std::uint32_t blockBytes(DdsFormat format) {
    return format == DdsFormat::Dxt1 ? 8 : 16;
}

std::uint32_t levelSize(int width, int height, DdsFormat format) {
    if (format == DdsFormat::Argb8) {
        return static_cast<std::uint32_t>(width) * height * 4;
    }
    const std::uint32_t blocks = static_cast<std::uint32_t>((width + 3) / 4) * ((height + 3) / 4);
    return blocks * blockBytes(format);
}

void appendHeader(Bytes& out, const Image& image, std::size_t levels, DdsFormat format) {
    const bool compressed = format != DdsFormat::Argb8;
    appendText(out, "DDS ");
    appendU32(out, 124);
    appendU32(out, capsFlag | heightFlag | widthFlag | pixelFormatFlag | mipCountFlag |
                       (compressed ? linearSizeFlag : pitchFlag));
    appendU32(out, static_cast<std::uint32_t>(image.height));
    appendU32(out, static_cast<std::uint32_t>(image.width));
    appendU32(out, compressed ? levelSize(image.width, image.height, format)
                              : static_cast<std::uint32_t>(image.width) * 4);
    appendU32(out, 0);  // depth
    appendU32(out, static_cast<std::uint32_t>(levels));
    for (int i = 0; i < 11; ++i) {
        appendU32(out, 0);
    }
    appendU32(out, 32);
    if (compressed) {
        appendU32(out, fourCcPixels);
        appendU32(out, fourCc(format == DdsFormat::Dxt1 ? "DXT1" : "DXT5"));
        for (int i = 0; i < 5; ++i) {
            appendU32(out, 0);
        }
    } else {
        appendU32(out, rgbPixels | alphaPixels);
        appendU32(out, 0);
        appendU32(out, 32);
        appendU32(out, 0x00ff0000);
        appendU32(out, 0x0000ff00);
        appendU32(out, 0x000000ff);
        appendU32(out, 0xff000000);
    }
    appendU32(out, textureCaps | (levels > 1 ? complexCaps | mipMapCaps : 0));
    for (int i = 0; i < 4; ++i) {
        appendU32(out, 0);  // caps2..4, reserved
    }
}

void appendBlocks(Bytes& out, const Image& level, DdsFormat format) {
    unsigned char block[64];
    unsigned char packed[16];
    for (int by = 0; by < level.height; by += 4) {
        for (int bx = 0; bx < level.width; bx += 4) {
            for (int i = 0; i < 16; ++i) {
                const Argb c = level.at(std::min(level.width - 1, bx + i % 4),
                                        std::min(level.height - 1, by + i / 4));
                block[i * 4 + 0] = static_cast<unsigned char>(redOf(c));
                block[i * 4 + 1] = static_cast<unsigned char>(greenOf(c));
                block[i * 4 + 2] = static_cast<unsigned char>(blueOf(c));
                block[i * 4 + 3] = static_cast<unsigned char>(alphaOf(c));
            }
            const int alpha = format == DdsFormat::Dxt5 ? 1 : 0;
            stb_compress_dxt_block(packed, block, alpha, STB_DXT_HIGHQUAL);
            out.insert(out.end(), packed, packed + blockBytes(format));
        }
    }
}

}  // namespace

Bytes ddsBytes(const Image& image, DdsFormat format) {
    const std::vector<Image> levels = mipChain(image);
    Bytes out;
    appendHeader(out, image, levels.size(), format);
    for (const Image& level : levels) {
        if (format == DdsFormat::Argb8) {
            for (const Argb c : level.pixels) {
                appendU32(out, c);
            }
        } else {
            appendBlocks(out, level, format);
        }
    }
    return out;
}

}  // namespace artlib
