#include "tools/artlib/png_writer.h"

#include <stb_image_write.h>

#include <stdexcept>

namespace artlib {

namespace {

void appendChunk(void* context, void* data, int size) {
    auto* out = static_cast<Bytes*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

Bytes pngBytes(const Image& image) {
    const Bytes rgba = rgbaBytes(image);
    // Lighter compression: the videos hold hundreds of frames and the build waits for them.
    stbi_write_png_compression_level = 4;
    Bytes out;
    if (stbi_write_png_to_func(appendChunk, &out, image.width, image.height, 4, rgba.data(),
                               image.width * 4) == 0) {
        throw std::runtime_error("PNG encoding failed");
    }
    return out;
}

}  // namespace artlib
