// JPEG through libjpeg-turbo, baseline and progressive, decoded straight into the level as
// 32-bit BGRA pixels.
#include <turbojpeg.h>

#include <memory>

#include "texture/image.h"

namespace d3dx9 {
namespace {

// Huffman coding spends at least one bit on every 8x8 block of a full-resolution component
// (its DC code): one byte of file carries at most eight blocks. A header that declares more
// blocks than that is refused before the pixels (or a progressive file's coefficients) are
// allocated.
constexpr unsigned long long kMostBlocksPerByte = 8;

struct Decompressor {
    void operator()(void* handle) const { tjDestroy(handle); }
};

// Whether the call that just failed only warned: many real files draw a warning ("premature
// end of data segment", "extraneous bytes before marker") and still decode, whole or nearly
// so, as other decoders show them.
bool onlyWarned(void* handle) {
    return tjGetErrorCode(handle) == TJERR_WARNING;
}

}  // namespace

bool jpegSize(const BYTE* data, size_t size, UINT& width, UINT& height) {
    std::unique_ptr<void, Decompressor> handle(tjInitDecompress());
    int w = 0;
    int h = 0;
    int subsampling = 0;
    int colourSpace = 0;
    if (!handle || data == nullptr || size == 0 ||
        (tjDecompressHeader3(handle.get(), const_cast<BYTE*>(data),
                             static_cast<unsigned long>(size), &w, &h, &subsampling,
                             &colourSpace) != 0 &&
         !onlyWarned(handle.get())) ||
        w <= 0 || h <= 0) {
        return false;
    }
    width = static_cast<UINT>(w);
    height = static_cast<UINT>(h);
    return true;
}

HRESULT readJpeg(const BYTE* data, size_t size, Image& image) {
    if (data == nullptr || size == 0) {
        return D3DXERR_INVALIDDATA;
    }
    std::unique_ptr<void, Decompressor> handle(tjInitDecompress());
    if (!handle) {
        return E_OUTOFMEMORY;
    }
    // The library reads through a non-const pointer but does not write.
    auto* source = const_cast<BYTE*>(data);
    const auto length = static_cast<unsigned long>(size);
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourSpace = 0;
    if ((tjDecompressHeader3(handle.get(), source, length, &width, &height, &subsampling,
                             &colourSpace) != 0 &&
         !onlyWarned(handle.get())) ||
        width <= 0 || height <= 0) {
        return D3DXERR_INVALIDDATA;
    }
    const UINT w = static_cast<UINT>(width);
    const UINT h = static_cast<UINT>(height);
    const unsigned long long blocks = ((w + 7ull) / 8) * ((h + 7ull) / 8);
    if (!plausibleImageSize(w, h, (blocks + kMostBlocksPerByte - 1) / kMostBlocksPerByte, size)) {
        return D3DXERR_INVALIDDATA;
    }
    ImageLevel level;
    level.width = w;
    level.height = h;
    level.bytes = LevelBytes(4ull * w * h);
    // Only an error fails the file. The scan limit keeps a progressive file of endless tiny scans
    // from taking minutes.
    if (tjDecompress2(handle.get(), source, length, level.bytes.data(), width, 0, height, TJPF_BGRA,
                      TJFLAG_LIMITSCANS) != 0 &&
        !onlyWarned(handle.get())) {
        return D3DXERR_INVALIDDATA;
    }
    image.format = D3DFMT_X8R8G8B8;
    image.fileFormat = D3DXIFF_JPG;
    image.levels.clear();
    image.levels.push_back(std::move(level));
    return D3D_OK;
}

}  // namespace d3dx9
