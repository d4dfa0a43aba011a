// Level storage, and the limit on what an image file may ask to be allocated.
#include <new>

#include "d3dx9/seams.h"
#include "texture/image.h"

namespace d3dx9 {

LevelBytes::LevelBytes(size_t size) : size_(size) {
    // calloc: a large level comes as untouched zero pages, paid for only where written.
    data_.reset(static_cast<BYTE*>(std::calloc(size == 0 ? 1 : size, 1)));
    if (!data_) {
        throw std::bad_alloc();
    }
}

namespace {

UINT sideLimit = kMaxImageSide;

}  // namespace

void setImageSideLimit(UINT side) {
    sideLimit = side < kMaxImageSide ? side : kMaxImageSide;
}

UINT imageSideLimit() {
    return sideLimit;
}

bool plausibleImageSize(UINT width, UINT height, unsigned long long leastBytes, size_t size) {
    return width > 0 && height > 0 && width <= sideLimit && height <= sideLimit &&
           4ull * width * height <= kMaxImageBytes && leastBytes <= size;
}

}  // namespace d3dx9
