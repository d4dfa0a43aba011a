#include "gl/render_states.h"

#include <algorithm>
#include <cstring>

namespace d3d9::gl {

namespace {

GLenum blendFactor(DWORD blend) {
    switch (blend) {
        case D3DBLEND_ZERO:
            return GL_ZERO;
        case D3DBLEND_SRCCOLOR:
            return GL_SRC_COLOR;
        case D3DBLEND_INVSRCCOLOR:
            return GL_ONE_MINUS_SRC_COLOR;
        case D3DBLEND_SRCALPHA:
            return GL_SRC_ALPHA;
        case D3DBLEND_INVSRCALPHA:
            return GL_ONE_MINUS_SRC_ALPHA;
        case D3DBLEND_DESTALPHA:
            return GL_DST_ALPHA;
        case D3DBLEND_INVDESTALPHA:
            return GL_ONE_MINUS_DST_ALPHA;
        case D3DBLEND_DESTCOLOR:
            return GL_DST_COLOR;
        case D3DBLEND_INVDESTCOLOR:
            return GL_ONE_MINUS_DST_COLOR;
        case D3DBLEND_SRCALPHASAT:
            return GL_SRC_ALPHA_SATURATE;
        case D3DBLEND_BLENDFACTOR:
            return GL_CONSTANT_COLOR;
        case D3DBLEND_INVBLENDFACTOR:
            return GL_ONE_MINUS_CONSTANT_COLOR;
        case D3DBLEND_ONE:
        default:
            return GL_ONE;
    }
}

// The source and destination factors, with the two shorthand modes that set both.
void blendPair(DWORD src, DWORD dst, GLenum& glSrc, GLenum& glDst) {
    if (src == D3DBLEND_BOTHSRCALPHA) {
        glSrc = GL_SRC_ALPHA;
        glDst = GL_ONE_MINUS_SRC_ALPHA;
    } else if (src == D3DBLEND_BOTHINVSRCALPHA) {
        glSrc = GL_ONE_MINUS_SRC_ALPHA;
        glDst = GL_SRC_ALPHA;
    } else {
        glSrc = blendFactor(src);
        glDst = blendFactor(dst);
    }
}

GLenum blendOperation(DWORD op) {
    switch (op) {
        case D3DBLENDOP_SUBTRACT:
            return GL_FUNC_SUBTRACT;
        case D3DBLENDOP_REVSUBTRACT:
            return GL_FUNC_REVERSE_SUBTRACT;
        case D3DBLENDOP_MIN:
            return GL_MIN;
        case D3DBLENDOP_MAX:
            return GL_MAX;
        default:
            return GL_FUNC_ADD;
    }
}

GLint addressMode(DWORD mode) {
    switch (mode) {
        case D3DTADDRESS_MIRROR:
            return GL_MIRRORED_REPEAT;
        case D3DTADDRESS_CLAMP:
            return GL_CLAMP_TO_EDGE;
        case D3DTADDRESS_BORDER:
            return GL_CLAMP_TO_BORDER;
        case D3DTADDRESS_MIRRORONCE:
            return GL_MIRROR_CLAMP_TO_EDGE;
        default:
            return GL_REPEAT;
    }
}

bool linear(DWORD filter) {
    return filter == D3DTEXF_LINEAR || filter == D3DTEXF_ANISOTROPIC;
}

}  // namespace

GLenum compareFunction(DWORD d3dCompare) {
    switch (d3dCompare) {
        case D3DCMP_NEVER:
            return GL_NEVER;
        case D3DCMP_LESS:
            return GL_LESS;
        case D3DCMP_EQUAL:
            return GL_EQUAL;
        case D3DCMP_LESSEQUAL:
            return GL_LEQUAL;
        case D3DCMP_GREATER:
            return GL_GREATER;
        case D3DCMP_NOTEQUAL:
            return GL_NOTEQUAL;
        case D3DCMP_GREATEREQUAL:
            return GL_GEQUAL;
        default:
            return GL_ALWAYS;
    }
}

void applyRenderStates(const DeviceState& state, bool depthBuffer, UINT height, StateCache& cache) {
    const auto rs = [&](D3DRENDERSTATETYPE type) { return state.renderState(type); };

    const bool depth = depthBuffer && rs(D3DRS_ZENABLE) != D3DZB_FALSE;
    cache.depthTest(depth);
    if (depth) {
        cache.depthFunc(compareFunction(rs(D3DRS_ZFUNC)));
        cache.depthMask(rs(D3DRS_ZWRITEENABLE) != FALSE);
    }

    BlendState blend;
    blend.enabled = rs(D3DRS_ALPHABLENDENABLE) != FALSE;
    if (blend.enabled) {
        blendPair(rs(D3DRS_SRCBLEND), rs(D3DRS_DESTBLEND), blend.srcColor, blend.dstColor);
        blend.colorOp = blendOperation(rs(D3DRS_BLENDOP));
        if (rs(D3DRS_SEPARATEALPHABLENDENABLE) != FALSE) {
            blendPair(rs(D3DRS_SRCBLENDALPHA), rs(D3DRS_DESTBLENDALPHA), blend.srcAlpha,
                      blend.dstAlpha);
            blend.alphaOp = blendOperation(rs(D3DRS_BLENDOPALPHA));
        } else {
            blend.srcAlpha = blend.srcColor;
            blend.dstAlpha = blend.dstColor;
            blend.alphaOp = blend.colorOp;
        }
        blend.factor = rs(D3DRS_BLENDFACTOR);
    }
    cache.blend(blend);

    // The picture reaches GL unflipped, so a triangle turns the same way on both screens;
    // GL keeps its default front (counter-clockwise) and the cull mode names the turn to
    // remove: Direct3D's CCW removes GL's front faces.
    switch (rs(D3DRS_CULLMODE)) {
        case D3DCULL_CW:
            cache.cull(GL_BACK);
            break;
        case D3DCULL_CCW:
            cache.cull(GL_FRONT);
            break;
        default:
            cache.cull(0);
            break;
    }

    switch (rs(D3DRS_FILLMODE)) {
        case D3DFILL_POINT:
            cache.polygonMode(GL_POINT);
            break;
        case D3DFILL_WIREFRAME:
            cache.polygonMode(GL_LINE);
            break;
        default:
            cache.polygonMode(GL_FILL);
            break;
    }

    cache.colorMask(rs(D3DRS_COLORWRITEENABLE) & 0xF);

    const D3DVIEWPORT9& vp = state.viewport;
    cache.viewport(static_cast<GLint>(vp.X), static_cast<GLint>(height - vp.Y - vp.Height),
                   static_cast<GLsizei>(vp.Width), static_cast<GLsizei>(vp.Height));
    cache.depthRange(vp.MinZ, vp.MaxZ);
    cache.scissor(false);
}

void applySamplerStates(GLuint sampler, const std::array<DWORD, kSamplerStateCount>& states) {
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, addressMode(states[D3DSAMP_ADDRESSU]));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, addressMode(states[D3DSAMP_ADDRESSV]));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, addressMode(states[D3DSAMP_ADDRESSW]));
    const bool magLinear = linear(states[D3DSAMP_MAGFILTER]);
    const bool minLinear = linear(states[D3DSAMP_MINFILTER]);
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, magLinear ? GL_LINEAR : GL_NEAREST);
    GLint minFilter = minLinear ? GL_LINEAR : GL_NEAREST;
    switch (states[D3DSAMP_MIPFILTER]) {
        case D3DTEXF_POINT:
            minFilter = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
            break;
        case D3DTEXF_NONE:
            break;
        default:
            minFilter = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
            break;
    }
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, minFilter);
    const DWORD border = states[D3DSAMP_BORDERCOLOR];
    const float color[4] = {((border >> 16) & 0xFF) / 255.0f, ((border >> 8) & 0xFF) / 255.0f,
                            (border & 0xFF) / 255.0f, ((border >> 24) & 0xFF) / 255.0f};
    glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, color);
    float bias = 0.0f;
    std::memcpy(&bias, &states[D3DSAMP_MIPMAPLODBIAS], sizeof bias);
    glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, bias);
    // MAXMIPLEVEL is the largest (most detailed) level used.
    glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD,
                        static_cast<float>(std::min<DWORD>(states[D3DSAMP_MAXMIPLEVEL], 1000)));
}

}  // namespace d3d9::gl
