// Textures from memory (DDS, TGA, PNG, JPEG, BMP), loaded as the game's texture loader loads
// them: the image's own size rounded up to powers of two with a full mip chain. The loader
// ends in a texture or a failure code, nothing else.
#include <d3dx9/seams.h>
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
// The readers take any image of up to 256 MB decoded, whatever its file's size; here the sides
// are capped instead, so that a few bytes decode to at most 4 MB (about 40 MB at the peak of
// making a texture of it) and the memory bound holds for every input.
constexpr UINT kFuzzImageSide = 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::Services& services = fuzz_support::Services::instance();
    d3dx9::setImageSideLimit(kFuzzImageSide);
    fuzz_support::MemoryBound bound(size, kBytesPerInputByte);
    win32::ComPtr<IDirect3DTexture9> texture;
    D3DXIMAGE_INFO info{};
    D3DXCreateTextureFromFileInMemoryEx(services.device, data, static_cast<UINT>(size),
                                        D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                        D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, &info,
                                        nullptr, texture.out());
    return 0;
}
