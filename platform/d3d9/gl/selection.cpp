// Which backend devices get, and the test seams that reach the drawing backend.
// The PNG writer is compiled in the system's stb library.
#include <stb_image_write.h>

#include "core/device.h"
#include "gl/gl_backend.h"
#include "win32/window_seams.h"

namespace d3d9 {

std::unique_ptr<Backend> makeGlBackend() {
    return std::make_unique<gl::GlBackend>();
}

BackendChoice chooseBackend() {
    BackendChoice choice;
    if (gl::probeGlContext(choice.reason)) {
        choice.kind = BackendKind::Gl;
        choice.reason.clear();
    }
    useBackend(choice.kind);
    return choice;
}

void useBackend(BackendKind kind) {
    win32::requestOpenGLWindows(kind == BackendKind::Gl);
    if (kind == BackendKind::Gl) {
        setBackendFactory(makeGlBackend);
    } else {
        setBackendFactory({});
    }
}

D3DCOLOR BackBufferImage::pixel(UINT x, UINT y) const {
    if (x >= width || y >= height) {
        return 0;
    }
    const std::uint8_t* p = rgba.data() + (size_t{y} * width + x) * 4;
    return D3DCOLOR_ARGB(p[3], p[0], p[1], p[2]);
}

bool readBackBuffer(IDirect3DDevice9* device, BackBufferImage& image) {
    auto* ours = dynamic_cast<Device*>(device);
    return ours != nullptr && ours->context().backend->readBack(image);
}

bool writePng(const BackBufferImage& image, const std::string& path) {
    if (image.width == 0 || image.height == 0 ||
        image.rgba.size() != size_t{image.width} * image.height * 4) {
        return false;
    }
    return stbi_write_png(path.c_str(), static_cast<int>(image.width),
                          static_cast<int>(image.height), 4, image.rgba.data(),
                          static_cast<int>(image.width * 4)) != 0;
}

bool drawingStats(IDirect3DDevice9* device, DrawingStats& stats) {
    auto* ours = dynamic_cast<Device*>(device);
    const DrawingStats* found = ours != nullptr ? ours->context().backend->drawingStats() : nullptr;
    if (found == nullptr) {
        return false;
    }
    stats = *found;
    return true;
}

}  // namespace d3d9
