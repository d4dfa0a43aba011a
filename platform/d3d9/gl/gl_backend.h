// The backend that draws: an OpenGL 3.3 core context on the device window's SDL window,
// with the back buffer in a framebuffer object of the size Direct3D chose, shown by
// Present scaled to the window.
#pragma once

#include <array>
#include <memory>

#include "core/backend.h"
#include "gl/gl_context.h"
#include "gl/gl_resources.h"
#include "gl/programs.h"
#include "gl/state_cache.h"
#include "gl/vertex_input.h"

namespace d3d9::gl {

class GlBackend : public Backend {
public:
    GlBackend() = default;
    ~GlBackend() override;

    HRESULT configure(HWND window, const D3DPRESENT_PARAMETERS& parameters) override;
    void clear(const RecordedClear& clear, const DeviceState& state) override;
    void draw(const DrawCall& call) override;
    HRESULT present() override;
    void resourceLocked(const ResourceBase& resource, const void* interfacePointer,
                        D3DRESOURCETYPE type, UINT offset, UINT size, DWORD flags) override;
    void resourceUpdated(const ResourceBase& resource) override;
    void resourceDestroyed(const ResourceBase& resource) override;
    bool holdTextureLevel(const ResourceBase& resource, UINT level) override;
    bool readTextureLevel(const ResourceBase& resource, UINT level, BYTE* bytes,
                          UINT pitch) override;
    void shaderDestroyed(const ShaderCode& code) override;
    bool readBack(BackBufferImage& image) override;
    const DrawingStats* drawingStats() const override { return &stats_; }

private:
    // Makes the context current; false once its window is gone (nothing is drawn then).
    bool current() const;
    // current() once a frame: between two Presents only another device's context can
    // take the thread's place, and that is known without asking SDL. Draws and clears
    // ask this; the window's lookup and SDL's checks would cost a draw as much as the
    // draw itself.
    bool currentInFrame();
    void makeBackBuffer(const D3DPRESENT_PARAMETERS& parameters);
    void deleteBackBuffer();
    void bindTextures(const Program& program, const DeviceState& state);
    // Program, states, textures and vertex input for a draw; null when the draw is skipped.
    Program* prepare(const DrawCall& call);
    void forgetDrawn() { drawn_ = Drawn(); }

    HWND window_ = nullptr;
    GlContext context_;
    StateCache cache_;
    DrawingStats stats_;
    bool checkedInFrame_ = false;
    // The device's render states version applyRenderStates() last ran for; 0 after the
    // backend set render states of its own (a clear, Present).
    std::uint64_t appliedStates_ = 0;
    // What the last draw left bound, and the device's versions it was bound under: a draw
    // under the same versions (the common case: only constants changed) binds nothing again.
    // Forgotten when a resource or shader changes, as binding it again might upload it.
    struct Drawn {
        Program* program = nullptr;
        std::uint64_t bindings = 0;
        std::uint64_t layoutId = 0;
        const ResourceBase* indices = nullptr;
    };
    Drawn drawn_;
    std::unique_ptr<GlResources> resources_;
    std::unique_ptr<VertexInput> vertexInput_;
    std::unique_ptr<ProgramCache> programs_;
    GLuint framebuffer_ = 0;
    GLuint colour_ = 0;
    GLuint depth_ = 0;
    UINT width_ = 0;
    UINT height_ = 0;
    bool depthBuffer_ = false;
    std::array<GLuint, kTextureUnits> samplers_{};
    std::array<std::array<DWORD, kSamplerStateCount>, kTextureUnits> samplerStates_{};
    std::array<bool, kTextureUnits> samplerValid_{};
};

}  // namespace d3d9::gl
