#include "null/null_backend.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/formats.h"
#include "core/resource.h"
#include "d3d9/seams.h"

namespace d3d9 {

HRESULT NullBackend::configure(HWND, const D3DPRESENT_PARAMETERS&) {
    return D3D_OK;
}

void NullBackend::clear(const RecordedClear& clear, const DeviceState&) {
    if (drawRecording()) {
        record_.clears.push_back(clear);
        record_.clears.back().drawsBefore = record_.draws.size();
    }
}

void NullBackend::draw(const DrawCall& call) {
    if (!drawRecording()) {
        return;
    }
    RecordedDraw draw;
    draw.kind = call.kind;
    draw.type = call.type;
    draw.primitiveCount = call.primitiveCount;
    draw.baseVertex = call.baseVertex;
    draw.minIndex = call.minIndex;
    draw.numVertices = call.numVertices;
    draw.startIndex = call.startIndex;
    draw.startVertex = call.startVertex;
    draw.stride = call.stride;
    draw.layout = call.layout;
    draw.state = call.state;
    draw.tag = call.tag;
    for (int i = 0; i < kSamplerCount; ++i) {
        if (auto* texture = dynamic_cast<const ResourceBase*>(call.state.textures[i])) {
            draw.textureNames[i] = texture->name();
        }
    }

    if (call.kind == DrawKind::Indexed) {
        for (UINT i = 0; i < call.indexCount; ++i) {
            UINT index = 0;
            if (call.indexSize == 2) {
                WORD value = 0;
                std::memcpy(&value, call.indexData + i * 2, 2);
                index = value;
            } else {
                std::memcpy(&index, call.indexData + i * 4, 4);
            }
            draw.vertexNumbers.push_back(static_cast<UINT>(call.baseVertex + std::int64_t{index}));
        }
    } else {
        const UINT vertices = verticesForPrimitives(call.type, call.primitiveCount);
        for (UINT i = 0; i < vertices; ++i) {
            draw.vertexNumbers.push_back(call.startVertex + i);
        }
    }

    // Copies of the vertices as they are now, so a later DISCARD or overwrite cannot change
    // what this draw is recorded to have read. The device checked the layout's bytes of
    // each vertex; padding beyond the buffer's end reads as zero.
    draw.vertices.assign(draw.vertexNumbers.size() * call.stride, 0);
    for (size_t i = 0; i < draw.vertexNumbers.size(); ++i) {
        const std::uint64_t start = std::uint64_t{draw.vertexNumbers[i]} * call.stride;
        if (start >= call.vertexDataSize) {
            continue;
        }
        const std::uint64_t available =
            std::min<std::uint64_t>(call.stride, call.vertexDataSize - start);
        std::memcpy(draw.vertices.data() + i * call.stride, call.vertexData + start, available);
    }

    record_.draws.push_back(std::move(draw));
    if (record_.draws.size() > DeviceRecord::kMaxDraws) {
        record_.draws.pop_front();
    }
}

void NullBackend::resourceLocked(const ResourceBase&, const void* interfacePointer,
                                 D3DRESOURCETYPE type, UINT offset, UINT size, DWORD flags) {
    if (!drawRecording()) {
        return;
    }
    record_.locks.push_back({interfacePointer, type, offset, size, flags});
}

std::unique_ptr<Backend> makeNullBackend() {
    return std::make_unique<NullBackend>();
}

}  // namespace d3d9
