// PNG, JPEG, BMP and TGA through stb_image, as 32-bit BGRA pixels.
#include <stb_image.h>

#include <climits>
#include <memory>

#include "texture/image.h"

namespace d3dx9 {
namespace {

bool startsWith(const BYTE* data, size_t size, std::initializer_list<BYTE> prefix) {
    if (size < prefix.size()) {
        return false;
    }
    size_t i = 0;
    for (BYTE b : prefix) {
        if (data[i++] != b) {
            return false;
        }
    }
    return true;
}

// TGA has no signature; its header must at least name a colour-map kind and an image kind
// that exist, so that other formats stb knows are not taken for it.
bool looksLikeTga(const BYTE* data, size_t size) {
    if (size < 18) {
        return false;
    }
    const BYTE colourMap = data[1];
    const BYTE kind = data[2];
    return colourMap <= 1 &&
           (kind == 1 || kind == 2 || kind == 3 || kind == 9 || kind == 10 || kind == 11);
}

}  // namespace

HRESULT readStbImage(const BYTE* data, size_t size, Image& image) {
    if (data == nullptr || size == 0 || size > static_cast<size_t>(INT_MAX)) {
        return D3DXERR_INVALIDDATA;
    }
    D3DXIMAGE_FILEFORMAT fileFormat;
    if (startsWith(data, size, {0x89, 'P', 'N', 'G'})) {
        fileFormat = D3DXIFF_PNG;
    } else if (startsWith(data, size, {0xFF, 0xD8, 0xFF})) {
        fileFormat = D3DXIFF_JPG;
    } else if (startsWith(data, size, {'B', 'M'})) {
        fileFormat = D3DXIFF_BMP;
    } else if (looksLikeTga(data, size)) {
        fileFormat = D3DXIFF_TGA;
    } else {
        return D3DXERR_INVALIDDATA;
    }
    int width = 0;
    int height = 0;
    int channels = 0;
    std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
        stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, 4),
        &stbi_image_free);
    if (!pixels || width <= 0 || height <= 0) {
        return D3DXERR_INVALIDDATA;
    }
    const bool alpha = channels == 2 || channels == 4;
    ImageLevel level;
    level.width = static_cast<UINT>(width);
    level.height = static_cast<UINT>(height);
    level.bytes.resize(4ull * level.width * level.height);
    const stbi_uc* in = pixels.get();
    for (size_t p = 0; p < level.bytes.size(); p += 4) {
        level.bytes[p] = in[p + 2];
        level.bytes[p + 1] = in[p + 1];
        level.bytes[p + 2] = in[p];
        level.bytes[p + 3] = alpha ? in[p + 3] : 0xFF;
    }
    image.format = alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    image.fileFormat = fileFormat;
    image.levels.clear();
    image.levels.push_back(std::move(level));
    return D3D_OK;
}

}  // namespace d3dx9
