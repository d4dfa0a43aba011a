#include "gl/gl_backend.h"

#include <SDL.h>

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "core/buffers.h"
#include "core/formats.h"
#include "core/texture.h"
#include "gl/render_states.h"
#include "win32/window_seams.h"

namespace d3d9::gl {

namespace {

GLenum primitiveMode(D3DPRIMITIVETYPE type) {
    switch (type) {
        case D3DPT_POINTLIST:
            return GL_POINTS;
        case D3DPT_LINELIST:
            return GL_LINES;
        case D3DPT_LINESTRIP:
            return GL_LINE_STRIP;
        case D3DPT_TRIANGLESTRIP:
            return GL_TRIANGLE_STRIP;
        case D3DPT_TRIANGLEFAN:
            return GL_TRIANGLE_FAN;
        default:
            return GL_TRIANGLES;
    }
}

bool formatHasAlpha(D3DFORMAT format) {
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_A1R5G5B5 || format == D3DFMT_A2R10G10B10 ||
           format == D3DFMT_A4R4G4B4;
}

}  // namespace

GlBackend::~GlBackend() {
    if (current()) {
        programs_.reset();
        vertexInput_.reset();
        resources_.reset();
        for (GLuint& sampler : samplers_) {
            if (sampler != 0) {
                glDeleteSamplers(1, &sampler);
            }
        }
        deleteBackBuffer();
        return;
    }
    // Without its window the context cannot be made current; deleting it frees it all.
    if (programs_) {
        programs_->abandon();
    }
    if (vertexInput_) {
        vertexInput_->abandon();
    }
    if (resources_) {
        resources_->abandon();
    }
}

bool GlBackend::current() const {
    if (!context_.valid() || win32::sdlWindow(window_) != context_.window()) {
        return false;
    }
    return context_.makeCurrent();
}

bool GlBackend::currentInFrame() {
    if (!checkedInFrame_ || !context_.lastMadeCurrent()) {
        checkedInFrame_ = current();
    }
    return checkedInFrame_;
}

HRESULT GlBackend::configure(HWND window, const D3DPRESENT_PARAMETERS& parameters) {
    if (!context_.valid()) {
        std::string error;
        if (!context_.create(static_cast<SDL_Window*>(win32::sdlWindow(window)), error)) {
            stats_.lastError = error;
            return D3DERR_NOTAVAILABLE;
        }
        window_ = window;
        resources_ = std::make_unique<GlResources>(cache_);
        vertexInput_ = std::make_unique<VertexInput>(cache_);
        programs_ = std::make_unique<ProgramCache>(cache_, stats_);
    }
    checkedInFrame_ = false;
    appliedStates_ = 0;
    forgetDrawn();
    if (!current()) {
        return D3DERR_NOTAVAILABLE;
    }
    context_.setSwapInterval(parameters.PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? 0
                                                                                              : 1);
    makeBackBuffer(parameters);
    return glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE
               ? D3D_OK
               : D3DERR_NOTAVAILABLE;
}

void GlBackend::deleteBackBuffer() {
    if (framebuffer_ != 0) {
        cache_.drawFramebuffer(0);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer_);
        glDeleteRenderbuffers(1, &colour_);
        if (depth_ != 0) {
            glDeleteRenderbuffers(1, &depth_);
        }
    }
    framebuffer_ = colour_ = depth_ = 0;
}

void GlBackend::makeBackBuffer(const D3DPRESENT_PARAMETERS& parameters) {
    deleteBackBuffer();
    width_ = parameters.BackBufferWidth;
    height_ = parameters.BackBufferHeight;
    depthBuffer_ = parameters.EnableAutoDepthStencil != FALSE;
    glGenFramebuffers(1, &framebuffer_);
    cache_.drawFramebuffer(framebuffer_);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glGenRenderbuffers(1, &colour_);
    glBindRenderbuffer(GL_RENDERBUFFER, colour_);
    // Without alpha in the format, destination alpha reads 1, as in Direct3D.
    glRenderbufferStorage(GL_RENDERBUFFER,
                          formatHasAlpha(parameters.BackBufferFormat) ? GL_RGBA8 : GL_RGB8,
                          static_cast<GLsizei>(width_), static_cast<GLsizei>(height_));
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    if (depthBuffer_) {
        const bool stencil = parameters.AutoDepthStencilFormat == D3DFMT_D24S8 ||
                             parameters.AutoDepthStencilFormat == D3DFMT_D24X4S4 ||
                             parameters.AutoDepthStencilFormat == D3DFMT_D15S1;
        glGenRenderbuffers(1, &depth_);
        glBindRenderbuffer(GL_RENDERBUFFER, depth_);
        glRenderbufferStorage(GL_RENDERBUFFER, stencil ? GL_DEPTH24_STENCIL8 : GL_DEPTH_COMPONENT24,
                              static_cast<GLsizei>(width_), static_cast<GLsizei>(height_));
        glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER,
                                  stencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                                  GL_RENDERBUFFER, depth_);
    }
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
}

void GlBackend::clear(const RecordedClear& clear, const DeviceState& state) {
    if (!currentInFrame()) {
        return;
    }
    appliedStates_ = 0;
    GLbitfield mask = 0;
    // Clear ignores the write masks of draws.
    if (clear.flags & D3DCLEAR_TARGET) {
        cache_.colorMask(0xF);
        const D3DCOLOR c = clear.color;
        glClearColor(((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, (c & 0xFF) / 255.0f,
                     ((c >> 24) & 0xFF) / 255.0f);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if ((clear.flags & D3DCLEAR_ZBUFFER) && depthBuffer_) {
        cache_.depthMask(true);
        glClearDepth(clear.z);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (mask == 0) {
        return;
    }
    // Direct3D clears the viewport, or the parts of the given rectangles inside it.
    const D3DVIEWPORT9& vp = state.viewport;
    std::vector<D3DRECT> rects = clear.rects;
    if (rects.empty()) {
        rects.push_back({static_cast<LONG>(vp.X), static_cast<LONG>(vp.Y),
                         static_cast<LONG>(vp.X + vp.Width), static_cast<LONG>(vp.Y + vp.Height)});
    }
    for (const D3DRECT& rect : rects) {
        const LONG left = std::max<LONG>(rect.x1, static_cast<LONG>(vp.X));
        const LONG top = std::max<LONG>(rect.y1, static_cast<LONG>(vp.Y));
        const LONG right = std::min<LONG>(rect.x2, static_cast<LONG>(vp.X + vp.Width));
        const LONG bottom = std::min<LONG>(rect.y2, static_cast<LONG>(vp.Y + vp.Height));
        if (right <= left || bottom <= top) {
            continue;
        }
        cache_.scissor(true, left, static_cast<GLint>(height_) - bottom, right - left,
                       bottom - top);
        glClear(mask);
    }
    stats_.stateCalls = cache_.calls();
}

void GlBackend::bindTextures(const Program& program, const DeviceState& state) {
    for (int stage : program.textureStages) {
        resources_->bindTexture(stage, state.textures[stage]);
        if (samplers_[stage] == 0) {
            glGenSamplers(1, &samplers_[stage]);
        }
        if (!samplerValid_[stage] || samplerStates_[stage] != state.samplerStates[stage]) {
            applySamplerStates(samplers_[stage], state.samplerStates[stage]);
            samplerStates_[stage] = state.samplerStates[stage];
            samplerValid_[stage] = true;
        }
        cache_.sampler(stage, samplers_[stage]);
    }
}

Program* GlBackend::prepare(const DrawCall& call) {
    forgetDrawn();
    Program* program = programs_->program(call.state, call.layout, call.layoutId);
    if (program == nullptr) {
        ++stats_.drawsSkipped;
        return nullptr;
    }
    const DeviceState& state = call.state;
    if (state.renderStatesVersion == 0 || state.renderStatesVersion != appliedStates_) {
        applyRenderStates(state, depthBuffer_, height_, cache_);
        appliedStates_ = state.renderStatesVersion;
    }
    cache_.program(program->name);
    bindTextures(*program, state);

    std::array<StreamSource, kStreamCount> streams{};
    for (UINT s = 0; s < kStreamCount; ++s) {
        const StreamBinding& binding = state.streams[s];
        if (binding.buffer != nullptr) {
            const auto* buffer = static_cast<const VertexBuffer*>(binding.buffer);
            streams[s] = {resources_->buffer(*buffer), binding.offset, binding.stride};
        }
    }
    if (call.kind == DrawKind::UserPointer) {
        streams[0] = {resources_->userData(call.vertexData, call.vertexDataSize), 0, call.stride};
    }
    vertexInput_->bind(program->id, program->attributes, call.layoutId, call.layout, streams);
    // A user-pointer draw's vertices are gone after it: the next draw binds its own.
    if (call.kind != DrawKind::UserPointer && state.bindingsVersion != 0) {
        drawn_.program = program;
        drawn_.bindings = state.bindingsVersion;
        drawn_.layoutId = call.layoutId;
    }
    return program;
}

void GlBackend::draw(const DrawCall& call) {
    if (!currentInFrame()) {
        return;
    }
    const DeviceState& state = call.state;
    const bool repeat = drawn_.program != nullptr && call.kind != DrawKind::UserPointer &&
                        state.bindingsVersion == drawn_.bindings &&
                        call.layoutId == drawn_.layoutId && appliedStates_ != 0 &&
                        state.renderStatesVersion == appliedStates_;
    Program* program = repeat ? drawn_.program : prepare(call);
    if (program == nullptr) {
        return;
    }
    programs_->upload(*program, state, state.viewport.Width, state.viewport.Height);

    const GLenum mode = primitiveMode(call.type);
    const GLsizei count =
        static_cast<GLsizei>(verticesForPrimitives(call.type, call.primitiveCount));
    switch (call.kind) {
        case DrawKind::Indexed: {
            const auto* indices = static_cast<const IndexBuffer*>(call.indexBuffer);
            if (drawn_.indices != indices) {
                cache_.elementBuffer(resources_->buffer(*indices));
                drawn_.indices = drawn_.program != nullptr ? indices : nullptr;
            }
            const std::uintptr_t offset =
                static_cast<std::uintptr_t>(call.indexData - indices->data().bytes());
            glDrawElementsBaseVertex(mode, count,
                                     call.indexSize == 2 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT,
                                     reinterpret_cast<const void*>(offset), call.baseVertex);
            break;
        }
        case DrawKind::Primitive:
            glDrawArrays(mode, static_cast<GLint>(call.startVertex), count);
            break;
        case DrawKind::UserPointer:
            glDrawArrays(mode, 0, count);
            break;
    }
    stats_.stateCalls = cache_.calls();
}

HRESULT GlBackend::present() {
    // The next frame asks again: between frames the program may do anything.
    checkedInFrame_ = false;
    appliedStates_ = 0;
    if (!current()) {
        return D3D_OK;
    }
    int width = 0;
    int height = 0;
    context_.drawableSize(width, height);
    cache_.scissor(false);
    cache_.drawFramebuffer(0);
    const bool sameSize = width == static_cast<int>(width_) && height == static_cast<int>(height_);
    glBlitFramebuffer(0, 0, static_cast<GLint>(width_), static_cast<GLint>(height_), 0, 0, width,
                      height, GL_COLOR_BUFFER_BIT, sameSize ? GL_NEAREST : GL_LINEAR);
    context_.swap();
    cache_.drawFramebuffer(framebuffer_);
    stats_.stateCalls = cache_.calls();
    return D3D_OK;
}

void GlBackend::resourceLocked(const ResourceBase& resource, const void*, D3DRESOURCETYPE type,
                               UINT offset, UINT size, DWORD flags) {
    forgetDrawn();
    if (resources_) {
        resources_->locked(resource, type, offset, size, flags);
    }
}

void GlBackend::resourceUpdated(const ResourceBase& resource) {
    forgetDrawn();
    if (resources_ && current()) {
        resources_->updated(resource);
    }
}

void GlBackend::resourceDestroyed(const ResourceBase& resource) {
    forgetDrawn();
    if (resources_) {
        resources_->destroyed(resource, current());
    }
}

bool GlBackend::holdTextureLevel(const ResourceBase& resource, UINT level) {
    const auto* texture = dynamic_cast<const Texture*>(&resource);
    return texture != nullptr && resources_ && current() && resources_->hold(*texture, level);
}

bool GlBackend::readTextureLevel(const ResourceBase& resource, UINT level, BYTE* bytes,
                                 UINT pitch) {
    const auto* texture = dynamic_cast<const Texture*>(&resource);
    return texture != nullptr && resources_ && current() &&
           resources_->read(*texture, level, bytes, pitch);
}

void GlBackend::shaderDestroyed(const ShaderCode& code) {
    forgetDrawn();
    if (programs_) {
        programs_->shaderDestroyed(code, current());
    }
}

bool GlBackend::readBack(BackBufferImage& image) {
    if (!current()) {
        return false;
    }
    image.width = width_;
    image.height = height_;
    const size_t row = size_t{width_} * 4;
    std::vector<std::uint8_t> pixels(row * height_);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, static_cast<GLsizei>(width_), static_cast<GLsizei>(height_), GL_RGBA,
                 GL_UNSIGNED_BYTE, pixels.data());
    // GL's first row is the bottom one.
    image.rgba.resize(pixels.size());
    for (UINT y = 0; y < height_; ++y) {
        std::memcpy(image.rgba.data() + y * row, pixels.data() + (height_ - 1 - y) * row, row);
    }
    return true;
}

}  // namespace d3d9::gl
