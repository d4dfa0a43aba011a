// ".rs" videos, mapped from a file as the game maps them: counting, measuring and decoding
// frames ends in textures or in frames without one, never outside the file. The frames'
// image decoding is the texture target's; here it only has to be reached.
#include <d3d9.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "engine/core/strings.h"
#include "engine/render/video/frame_sequence.h"
#include "tests/fuzz/support/fuzz_services.h"
#include "tests/fuzz/support/memory_bound.h"

namespace {

// Frames are compressed images and expand as the texture target's inputs do.
constexpr std::size_t kBytesPerInputByte = 2048;
// Enough frames to cover the first, the last and a few of their neighbours.
constexpr std::uint32_t kFramesDecoded = 4;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::Services& services = fuzz_support::Services::instance();
    static const std::string path = services.artRoot() + "fuzz.rs";
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    fuzz_support::MemoryBound bound(size, kBytesPerInputByte);

    kesh::FrameSequence frames(services.dx.get(), kesh::toWide(path));
    const std::uint32_t count = frames.frameCount();
    // The table holds eight bytes a frame after the eight-byte header.
    if (count > 0 && (size < 8 || count > (size - 8) / 8)) {
        std::abort();
    }
    std::uint32_t width = 0, height = 0;
    frames.frameSize(width, height);
    if (width == 0 || height == 0) {
        std::abort();
    }
    for (std::uint32_t i = 0; i < count && i < kFramesDecoded; ++i) {
        frames.frame(i);
        frames.frame(count - 1 - i);
    }
    if (frames.frame(count)) {
        std::abort();
    }
    return 0;
}
