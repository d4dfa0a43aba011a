// Level storage, and the limit on what an image file may ask to be allocated.
#include <new>

#include "texture/image.h"

namespace d3dx9 {

LevelBytes::LevelBytes(size_t size) : size_(size) {
    // calloc: a large level comes as untouched zero pages, paid for only where written.
    data_.reset(static_cast<BYTE*>(std::calloc(size == 0 ? 1 : size, 1)));
    if (!data_) {
        throw std::bad_alloc();
    }
}

bool plausibleImageSize(UINT width, UINT height, unsigned long long leastBytes, size_t size) {
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           1ull * width * height <= kPixelsAlways + kPixelsPerFileByte * size && leastBytes <= size;
}

}  // namespace d3dx9
