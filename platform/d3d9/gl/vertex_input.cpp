#include "gl/vertex_input.h"

#include <algorithm>

namespace d3d9::gl {

namespace {

// Size, type and normalisation of a declaration type; false for types GL cannot read.
bool elementFormat(BYTE type, GLint& size, GLenum& glType, bool& normalized) {
    normalized = false;
    switch (type) {
        case D3DDECLTYPE_FLOAT1:
        case D3DDECLTYPE_FLOAT2:
        case D3DDECLTYPE_FLOAT3:
        case D3DDECLTYPE_FLOAT4:
            size = type - D3DDECLTYPE_FLOAT1 + 1;
            glType = GL_FLOAT;
            return true;
        case D3DDECLTYPE_D3DCOLOR:
            // Stored B, G, R, A: GL reorders with the BGRA size.
            size = GL_BGRA;
            glType = GL_UNSIGNED_BYTE;
            normalized = true;
            return true;
        case D3DDECLTYPE_UBYTE4:
        case D3DDECLTYPE_UBYTE4N:
            size = 4;
            glType = GL_UNSIGNED_BYTE;
            normalized = type == D3DDECLTYPE_UBYTE4N;
            return true;
        case D3DDECLTYPE_SHORT2:
        case D3DDECLTYPE_SHORT2N:
            size = 2;
            glType = GL_SHORT;
            normalized = type == D3DDECLTYPE_SHORT2N;
            return true;
        case D3DDECLTYPE_SHORT4:
        case D3DDECLTYPE_SHORT4N:
            size = 4;
            glType = GL_SHORT;
            normalized = type == D3DDECLTYPE_SHORT4N;
            return true;
        case D3DDECLTYPE_USHORT2N:
        case D3DDECLTYPE_USHORT4N:
            size = type == D3DDECLTYPE_USHORT2N ? 2 : 4;
            glType = GL_UNSIGNED_SHORT;
            normalized = true;
            return true;
        case D3DDECLTYPE_FLOAT16_2:
        case D3DDECLTYPE_FLOAT16_4:
            size = type == D3DDECLTYPE_FLOAT16_2 ? 2 : 4;
            glType = GL_HALF_FLOAT;
            return true;
        default:
            return false;
    }
}

}  // namespace

VertexInput::~VertexInput() {
    if (vertexArray_ != 0) {
        glDeleteVertexArrays(1, &vertexArray_);
    }
}

void VertexInput::bind(std::uint64_t programId, const std::vector<AttributeSlot>& attributes,
                       std::uint64_t layoutId, const std::vector<D3DVERTEXELEMENT9>& layout,
                       const std::array<StreamSource, kStreamCount>& streams) {
    if (vertexArray_ == 0) {
        glGenVertexArrays(1, &vertexArray_);
    }
    cache_.vertexArray(vertexArray_);
    const Inputs inputs{programId, layoutId, streams, cache_.bufferGeneration()};
    if (inputs == last_) {
        return;
    }
    last_ = inputs;

    // Built in storage kept from draw to draw: the comparison below is the common case.
    std::vector<Setup>& wanted = wanted_;
    wanted.clear();
    for (const AttributeSlot& slot : attributes) {
        Setup setup;
        setup.location = slot.location;
        setup.color = slot.usage == D3DDECLUSAGE_COLOR;
        const auto element =
            std::find_if(layout.begin(), layout.end(), [&](const D3DVERTEXELEMENT9& e) {
                return e.Usage == slot.usage && e.UsageIndex == slot.usageIndex &&
                       e.Stream < kStreamCount;
            });
        if (element != layout.end() &&
            elementFormat(element->Type, setup.size, setup.type, setup.normalized)) {
            const StreamSource& stream = streams[element->Stream];
            setup.enabled = stream.buffer != 0;
            setup.buffer = stream.buffer;
            setup.stride = stream.stride;
            setup.offset = stream.offset + element->Offset;
        }
        wanted.push_back(setup);
    }
    if (wanted == current_ && generation_ == cache_.bufferGeneration()) {
        return;
    }
    generation_ = cache_.bufferGeneration();

    std::vector<unsigned>& nowEnabled = nowEnabled_;
    nowEnabled.clear();
    for (const Setup& setup : wanted) {
        if (!setup.enabled) {
            continue;
        }
        cache_.arrayBuffer(setup.buffer);
        glVertexAttribPointer(
            setup.location, setup.size, setup.type, setup.normalized ? GL_TRUE : GL_FALSE,
            static_cast<GLsizei>(setup.stride), reinterpret_cast<const void*>(setup.offset));
        if (std::find(enabled_.begin(), enabled_.end(), setup.location) == enabled_.end()) {
            glEnableVertexAttribArray(setup.location);
        }
        nowEnabled.push_back(setup.location);
    }
    for (unsigned location : enabled_) {
        if (std::find(nowEnabled.begin(), nowEnabled.end(), location) == nowEnabled.end()) {
            glDisableVertexAttribArray(location);
        }
    }
    // Inputs no stream feeds read a constant, as Direct3D's unfed registers do.
    for (const Setup& setup : wanted) {
        if (!setup.enabled) {
            const float value = setup.color ? 1.0f : 0.0f;
            glVertexAttrib4f(setup.location, value, value, value, 1.0f);
        }
    }
    enabled_.swap(nowEnabled);
    current_.swap(wanted);
}

}  // namespace d3d9::gl
