// Textures from memory (DDS, TGA, PNG, JPEG, BMP), loaded as the game's texture loader loads
// them: the image's own size rounded up to powers of two with a full mip chain. The loader
// ends in a texture or a failure code, nothing else.
#include <d3dx9tex.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "tests/fuzz/support/fuzz_services.h"
#include "tests/fuzz/support/memory_bound.h"
#include "win32/com_ptr.h"

namespace {

// Compressed images expand: deflate reaches about 1000 : 1, and the mip chain adds a third.
constexpr std::size_t kBytesPerInputByte = 2048;

// Known faults of the stb path, left to their own fix and skipped here unless
// MORVALE_FUZZ_KNOWN_FAULTS is set, so that the short CI runs look for new ones:
// - stb_image allocates a PNG chunk's declared length before it reads the chunk: a 76-byte
//   file whose IDAT claims 1 GB asks for 1 GB (tests/fuzz/found/texture-png-chunk-*.png);
// - the image is decoded, copied and scaled at the size its header claims, whether or not
//   the file holds that many pixels and with no limit to its sides: a 147-byte run-length
//   TGA takes 190 MB (tests/fuzz/found/texture-tga-claimed-size.tga), a 328-byte one
//   54383 pixels wide takes 5 s (texture-tga-wide-slow.tga).
std::uint32_t bigEndian(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
std::uint32_t littleEndian(const std::uint8_t* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = value << 8 | p[i];
    }
    return value;
}

bool isPng(const std::uint8_t* data, std::size_t size) {
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    return size >= 8 && std::memcmp(data, signature, 8) == 0;
}

bool pngChunkLongerThanFile(const std::uint8_t* data, std::size_t size) {
    for (std::size_t at = 8; at + 8 <= size;) {
        const std::size_t length = bigEndian(data + at);
        if (length > size - at - 8) {
            return true;
        }
        at += 12 + length;
    }
    return false;
}

struct Sides {
    std::uint64_t width = 0;
    std::uint64_t height = 0;
};

// The size the header of a PNG, BMP or TGA claims; none for anything else.
Sides claimedSides(const std::uint8_t* data, std::size_t size) {
    if (isPng(data, size)) {
        return size >= 24 ? Sides{bigEndian(data + 16), bigEndian(data + 20)} : Sides{};
    }
    if (size >= 26 && data[0] == 'B' && data[1] == 'M') {
        const auto height = static_cast<std::int32_t>(littleEndian(data + 22, 4));
        return {littleEndian(data + 18, 4),
                static_cast<std::uint64_t>(height < 0 ? -std::int64_t(height) : height)};
    }
    if (size < 18 || data[1] > 1) {
        return {};
    }
    const std::uint8_t type = data[2];
    if (type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11) {
        return {littleEndian(data + 12, 2), littleEndian(data + 14, 2)};
    }
    return {};
}

bool knownFault(const std::uint8_t* data, std::size_t size, std::size_t limit) {
    if (isPng(data, size) && pngChunkLongerThanFile(data, size)) {
        return true;
    }
    const Sides sides = claimedSides(data, size);
    constexpr std::uint64_t kLongestSide = 16384;  // what DDS files are held to
    // Four bytes a pixel, twice (decoded and copied), scaled up to powers of two (up to four
    // times) with a mip chain.
    return sides.width > kLongestSide || sides.height > kLongestSide ||
           sides.width * sides.height * 4 * 2 * 4 * 4 / 3 > limit;
}

bool skipKnownFaults() {
    static const bool skip = std::getenv("MORVALE_FUZZ_KNOWN_FAULTS") == nullptr;
    return skip;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::Services& services = fuzz_support::Services::instance();
    fuzz_support::MemoryBound bound(size, kBytesPerInputByte);
    if (skipKnownFaults() && knownFault(data, size, bound.limit())) {
        return 0;
    }
    win32::ComPtr<IDirect3DTexture9> texture;
    D3DXIMAGE_INFO info{};
    D3DXCreateTextureFromFileInMemoryEx(services.device, data, static_cast<UINT>(size),
                                        D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                        D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, &info,
                                        nullptr, texture.out());
    return 0;
}
