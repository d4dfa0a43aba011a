// Binds the vertex stream elements to the vertex stage's inputs by usage and usage index,
// reusing the previous binding when nothing changed.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "d3d9/records.h"
#include "gl/state_cache.h"

namespace d3d9::gl {

struct AttributeSlot {
    unsigned location = 0;
    std::uint32_t usage = 0;
    std::uint32_t usageIndex = 0;
};

struct StreamSource {
    GLuint buffer = 0;
    std::uintptr_t offset = 0;  // bytes into the buffer of the stream's vertex 0
    UINT stride = 0;

    bool operator==(const StreamSource& o) const {
        return buffer == o.buffer && offset == o.offset && stride == o.stride;
    }
};

class VertexInput {
public:
    explicit VertexInput(StateCache& cache) : cache_(cache) {}
    ~VertexInput();
    VertexInput(const VertexInput&) = delete;
    VertexInput& operator=(const VertexInput&) = delete;

    // programId and layoutId name the attributes and the layout: a draw repeating the
    // last ones with the same streams returns at once.
    void bind(std::uint64_t programId, const std::vector<AttributeSlot>& attributes,
              std::uint64_t layoutId, const std::vector<D3DVERTEXELEMENT9>& layout,
              const std::array<StreamSource, kStreamCount>& streams);
    // The context went away with the vertex array.
    void abandon() { vertexArray_ = 0; }

private:
    struct Setup {
        unsigned location = 0;
        bool enabled = false;
        GLuint buffer = 0;
        GLint size = 0;
        GLenum type = 0;
        bool normalized = false;
        UINT stride = 0;
        std::uintptr_t offset = 0;
        bool color = false;  // a missing colour input reads white

        bool operator==(const Setup& o) const {
            return location == o.location && enabled == o.enabled && buffer == o.buffer &&
                   size == o.size && type == o.type && normalized == o.normalized &&
                   stride == o.stride && offset == o.offset && color == o.color;
        }
    };

    struct Inputs {
        std::uint64_t program = 0;
        std::uint64_t layout = 0;
        std::array<StreamSource, kStreamCount> streams{};
        std::uint64_t generation = 0;

        bool operator==(const Inputs& o) const {
            return program == o.program && layout == o.layout && streams == o.streams &&
                   generation == o.generation;
        }
    };

    StateCache& cache_;
    GLuint vertexArray_ = 0;
    Inputs last_;
    std::vector<Setup> current_;
    std::vector<unsigned> enabled_;
    std::vector<Setup> wanted_;
    std::vector<unsigned> nowEnabled_;
    std::uint64_t generation_ = 0;
};

}  // namespace d3d9::gl
