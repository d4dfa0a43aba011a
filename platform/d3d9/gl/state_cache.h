// The GL pipeline state as last set, so that setting a value already in force costs no
// GL call. Starts from a fresh context's defaults.
#pragma once

#include <array>
#include <cstdint>

#include "gl/gl_api.h"

namespace d3d9::gl {

constexpr int kTextureUnits = 16;

struct BlendState {
    bool enabled = false;
    GLenum srcColor = GL_ONE;
    GLenum dstColor = GL_ZERO;
    GLenum srcAlpha = GL_ONE;
    GLenum dstAlpha = GL_ZERO;
    GLenum colorOp = GL_FUNC_ADD;
    GLenum alphaOp = GL_FUNC_ADD;
    std::uint32_t factor = 0;  // ARGB

    bool operator==(const BlendState& o) const {
        return enabled == o.enabled && srcColor == o.srcColor && dstColor == o.dstColor &&
               srcAlpha == o.srcAlpha && dstAlpha == o.dstAlpha && colorOp == o.colorOp &&
               alphaOp == o.alphaOp && factor == o.factor;
    }
};

class StateCache {
public:
    void depthTest(bool on);
    void depthFunc(GLenum func);
    void depthMask(bool on);
    void blend(const BlendState& state);
    // cullFace 0 turns culling off.
    void cull(GLenum face);
    void polygonMode(GLenum mode);
    void colorMask(unsigned rgbaBits);  // bit 0 red .. bit 3 alpha
    void viewport(GLint x, GLint y, GLsizei width, GLsizei height);
    void depthRange(float nearZ, float farZ);
    void scissor(bool on, GLint x = 0, GLint y = 0, GLsizei width = 0, GLsizei height = 0);
    void program(GLuint name);
    void vertexArray(GLuint name);
    void arrayBuffer(GLuint name);
    void elementBuffer(GLuint name);  // part of the bound vertex array
    void texture(int unit, GLuint name);
    // Texture uploads go to the active unit's binding: they make their own unit active.
    void activeTexture(int unit);
    void sampler(int unit, GLuint name);
    void drawFramebuffer(GLuint name);

    // After GL state was changed behind the cache's back (a new vertex array's element
    // binding, a texture bound for an upload).
    void forgetTexture(int unit) { textures_[unit] = kUnknown; }
    void forgetElementBuffer() { elementBuffer_ = kUnknown; }
    // Before GL deletes the objects: names may come back for new objects.
    void programDeleted(GLuint name);
    void bufferDeleted(GLuint name);
    // Changes whenever a buffer was deleted: vertex bindings made earlier are stale.
    std::uint64_t bufferGeneration() const { return bufferGeneration_; }

    std::uint64_t calls() const { return calls_; }
    GLuint currentProgram() const { return program_; }

private:
    static constexpr GLuint kUnknown = 0xFFFFFFFFu;

    std::uint64_t calls_ = 0;
    std::uint64_t bufferGeneration_ = 0;
    bool depthTest_ = false;
    GLenum depthFunc_ = GL_LESS;
    bool depthMask_ = true;
    BlendState blend_;
    GLenum cull_ = 0;
    GLenum cullFace_ = GL_BACK;
    GLenum polygonMode_ = GL_FILL;
    unsigned colorMask_ = 0xF;
    std::array<GLint, 4> viewport_{{-1, -1, -1, -1}};
    std::array<float, 2> depthRange_{{0.0f, 1.0f}};
    bool scissor_ = false;
    std::array<GLint, 4> scissorBox_{{-1, -1, -1, -1}};
    GLuint program_ = 0;
    GLuint vertexArray_ = 0;
    GLuint arrayBuffer_ = 0;
    GLuint elementBuffer_ = kUnknown;
    int activeUnit_ = 0;
    std::array<GLuint, kTextureUnits> textures_{};
    std::array<GLuint, kTextureUnits> samplers_{};
    GLuint drawFramebuffer_ = 0;
};

}  // namespace d3d9::gl
