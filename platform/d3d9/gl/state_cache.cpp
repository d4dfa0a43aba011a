#include "gl/state_cache.h"

namespace d3d9::gl {

namespace {

void enable(GLenum capability, bool on) {
    if (on) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

}  // namespace

void StateCache::depthTest(bool on) {
    if (depthTest_ != on) {
        enable(GL_DEPTH_TEST, on);
        depthTest_ = on;
        ++calls_;
    }
}

void StateCache::depthFunc(GLenum func) {
    if (depthFunc_ != func) {
        glDepthFunc(func);
        depthFunc_ = func;
        ++calls_;
    }
}

void StateCache::depthMask(bool on) {
    if (depthMask_ != on) {
        glDepthMask(on ? GL_TRUE : GL_FALSE);
        depthMask_ = on;
        ++calls_;
    }
}

void StateCache::blend(const BlendState& state) {
    if (blend_.enabled != state.enabled) {
        enable(GL_BLEND, state.enabled);
        blend_.enabled = state.enabled;
        ++calls_;
    }
    // Blend factors matter only while blending is on; they are set when it is.
    if (!state.enabled) {
        return;
    }
    if (blend_.srcColor != state.srcColor || blend_.dstColor != state.dstColor ||
        blend_.srcAlpha != state.srcAlpha || blend_.dstAlpha != state.dstAlpha) {
        glBlendFuncSeparate(state.srcColor, state.dstColor, state.srcAlpha, state.dstAlpha);
        ++calls_;
    }
    if (blend_.colorOp != state.colorOp || blend_.alphaOp != state.alphaOp) {
        glBlendEquationSeparate(state.colorOp, state.alphaOp);
        ++calls_;
    }
    if (blend_.factor != state.factor) {
        const std::uint32_t c = state.factor;
        glBlendColor(((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, (c & 0xFF) / 255.0f,
                     ((c >> 24) & 0xFF) / 255.0f);
        ++calls_;
    }
    blend_ = state;
}

void StateCache::cull(GLenum face) {
    if ((cull_ != 0) != (face != 0)) {
        enable(GL_CULL_FACE, face != 0);
        ++calls_;
    }
    cull_ = face;
    if (face != 0 && cullFace_ != face) {
        glCullFace(face);
        cullFace_ = face;
        ++calls_;
    }
}

void StateCache::polygonMode(GLenum mode) {
    if (polygonMode_ != mode) {
        glPolygonMode(GL_FRONT_AND_BACK, mode);
        polygonMode_ = mode;
        ++calls_;
    }
}

void StateCache::colorMask(unsigned rgbaBits) {
    if (colorMask_ != rgbaBits) {
        glColorMask((rgbaBits & 1) != 0, (rgbaBits & 2) != 0, (rgbaBits & 4) != 0,
                    (rgbaBits & 8) != 0);
        colorMask_ = rgbaBits;
        ++calls_;
    }
}

void StateCache::viewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    const std::array<GLint, 4> wanted{{x, y, width, height}};
    if (viewport_ != wanted) {
        glViewport(x, y, width, height);
        viewport_ = wanted;
        ++calls_;
    }
}

void StateCache::depthRange(float nearZ, float farZ) {
    const std::array<float, 2> wanted{{nearZ, farZ}};
    if (depthRange_ != wanted) {
        glDepthRange(nearZ, farZ);
        depthRange_ = wanted;
        ++calls_;
    }
}

void StateCache::scissor(bool on, GLint x, GLint y, GLsizei width, GLsizei height) {
    if (scissor_ != on) {
        enable(GL_SCISSOR_TEST, on);
        scissor_ = on;
        ++calls_;
    }
    const std::array<GLint, 4> wanted{{x, y, width, height}};
    if (on && scissorBox_ != wanted) {
        glScissor(x, y, width, height);
        scissorBox_ = wanted;
        ++calls_;
    }
}

void StateCache::program(GLuint name) {
    if (program_ != name) {
        glUseProgram(name);
        program_ = name;
        ++calls_;
    }
}

void StateCache::programDeleted(GLuint name) {
    if (program_ == name) {
        glUseProgram(0);
        program_ = 0;
    }
}

void StateCache::bufferDeleted(GLuint name) {
    // GL unbinds a deleted buffer from the context and the bound vertex array.
    if (arrayBuffer_ == name) {
        arrayBuffer_ = 0;
    }
    if (elementBuffer_ == name) {
        elementBuffer_ = 0;
    }
    ++bufferGeneration_;
}

void StateCache::vertexArray(GLuint name) {
    if (vertexArray_ != name) {
        glBindVertexArray(name);
        vertexArray_ = name;
        elementBuffer_ = kUnknown;
        ++calls_;
    }
}

void StateCache::arrayBuffer(GLuint name) {
    if (arrayBuffer_ != name) {
        glBindBuffer(GL_ARRAY_BUFFER, name);
        arrayBuffer_ = name;
        ++calls_;
    }
}

void StateCache::elementBuffer(GLuint name) {
    if (elementBuffer_ != name) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, name);
        elementBuffer_ = name;
        ++calls_;
    }
}

void StateCache::activeTexture(int unit) {
    if (activeUnit_ != unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        activeUnit_ = unit;
        ++calls_;
    }
}

void StateCache::texture(int unit, GLuint name) {
    if (textures_[unit] != name) {
        activeTexture(unit);
        glBindTexture(GL_TEXTURE_2D, name);
        textures_[unit] = name;
        ++calls_;
    }
}

void StateCache::sampler(int unit, GLuint name) {
    if (samplers_[unit] != name) {
        glBindSampler(unit, name);
        samplers_[unit] = name;
        ++calls_;
    }
}

void StateCache::drawFramebuffer(GLuint name) {
    if (drawFramebuffer_ != name) {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, name);
        drawFramebuffer_ = name;
        ++calls_;
    }
}

}  // namespace d3d9::gl
