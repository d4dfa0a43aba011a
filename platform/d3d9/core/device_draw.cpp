// Draws: every range a draw reads is checked against its buffers before the backend sees it.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include "core/buffers.h"
#include "core/declaration.h"
#include "core/device.h"
#include "core/formats.h"

namespace d3d9 {

namespace {

// Bytes a vertex of one stream needs under a layout.
UINT streamVertexSize(const std::vector<D3DVERTEXELEMENT9>& layout, UINT stream) {
    UINT size = 0;
    for (const auto& element : layout) {
        if (element.Stream == stream) {
            size = std::max(size, element.Offset + declTypeSize(element.Type));
        }
    }
    return size;
}

bool streamUsed(const std::vector<D3DVERTEXELEMENT9>& layout, UINT stream) {
    return std::any_of(layout.begin(), layout.end(),
                       [stream](const auto& element) { return element.Stream == stream; });
}

// Whether vertices up to last of every stream the layout reads lie inside their buffers.
bool streamsCover(const DeviceState& state, const std::vector<D3DVERTEXELEMENT9>& layout,
                  std::uint64_t last) {
    for (UINT stream = 0; stream < kStreamCount; ++stream) {
        if (!streamUsed(layout, stream)) {
            continue;
        }
        const StreamBinding& binding = state.streams[stream];
        if (binding.buffer == nullptr) {
            return false;
        }
        const UINT vertexSize = streamVertexSize(layout, stream);
        if (binding.stride < vertexSize) {
            return false;
        }
        const auto* buffer = static_cast<const VertexBuffer*>(binding.buffer);
        const std::uint64_t end = binding.offset + last * binding.stride + vertexSize;
        if (end > buffer->data().size()) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool Device::currentLayout(std::vector<D3DVERTEXELEMENT9>& layout, UINT& vertexSize) const {
    if (state_.declaration != nullptr) {
        layout = static_cast<const VertexDeclaration*>(state_.declaration)->elements();
        vertexSize = streamVertexSize(layout, 0);
        return true;
    }
    if (state_.fvf != 0) {
        return fvfLayout(state_.fvf, layout, vertexSize);
    }
    return false;
}

HRESULT Device::checkDrawBasics(D3DPRIMITIVETYPE type, UINT primitiveCount) const {
    if (!inScene_ || primitiveCount == 0 || verticesForPrimitives(type, primitiveCount) == 0) {
        return D3DERR_INVALIDCALL;
    }
    const DWORD maxPrimitives = context_->caps.MaxPrimitiveCount;
    if (maxPrimitives != 0 && primitiveCount > maxPrimitives) {
        return D3DERR_INVALIDCALL;
    }
    return D3D_OK;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    if (lost()) {
        return D3D_OK;
    }
    HRESULT result = checkDrawBasics(type, primitiveCount);
    std::vector<D3DVERTEXELEMENT9> layout;
    UINT vertexSize = 0;
    if (FAILED(result) || !currentLayout(layout, vertexSize)) {
        return D3DERR_INVALIDCALL;
    }
    const UINT count = verticesForPrimitives(type, primitiveCount);
    if (!streamsCover(state_, layout, std::uint64_t{startVertex} + count - 1)) {
        return D3DERR_INVALIDCALL;
    }
    const StreamBinding& stream = state_.streams[0];
    const auto* buffer = static_cast<const VertexBuffer*>(stream.buffer);
    const DrawCall call{DrawKind::Primitive,
                        type,
                        primitiveCount,
                        0,
                        0,
                        0,
                        0,
                        startVertex,
                        state_,
                        layout,
                        buffer,
                        buffer->data().bytes() + stream.offset,
                        buffer->data().size() - stream.offset,
                        stream.stride,
                        nullptr,
                        nullptr,
                        0,
                        0,
                        context_->drawTag};
    context_->backend->draw(call);
    return D3D_OK;
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex,
                                     UINT numVertices, UINT startIndex, UINT primitiveCount) {
    if (lost()) {
        return D3D_OK;
    }
    HRESULT result = checkDrawBasics(type, primitiveCount);
    std::vector<D3DVERTEXELEMENT9> layout;
    UINT vertexSize = 0;
    if (FAILED(result) || state_.indices == nullptr || !currentLayout(layout, vertexSize)) {
        return D3DERR_INVALIDCALL;
    }
    const auto* indices = static_cast<const IndexBuffer*>(state_.indices);
    const UINT indexSize = indices->indexSize();
    const UINT indexCount = verticesForPrimitives(type, primitiveCount);
    const UINT available = indices->data().size() / indexSize;
    if (startIndex > available || indexCount > available - startIndex) {
        return D3DERR_INVALIDCALL;
    }
    // minIndex and numVertices are hints: the range checked is the one the indices reach.
    const BYTE* indexData = indices->data().bytes() + std::uint64_t{startIndex} * indexSize;
    UINT lowest = std::numeric_limits<UINT>::max();
    UINT highest = 0;
    for (UINT i = 0; i < indexCount; ++i) {
        UINT index = 0;
        if (indexSize == 2) {
            WORD value = 0;
            std::memcpy(&value, indexData + i * 2, 2);
            index = value;
        } else {
            std::memcpy(&index, indexData + i * 4, 4);
        }
        lowest = std::min(lowest, index);
        highest = std::max(highest, index);
    }
    const std::int64_t first = std::int64_t{baseVertex} + lowest;
    const std::int64_t last = std::int64_t{baseVertex} + highest;
    if (first < 0 || !streamsCover(state_, layout, static_cast<std::uint64_t>(last))) {
        return D3DERR_INVALIDCALL;
    }
    const StreamBinding& stream = state_.streams[0];
    const auto* buffer = static_cast<const VertexBuffer*>(stream.buffer);
    const DrawCall call{DrawKind::Indexed,
                        type,
                        primitiveCount,
                        baseVertex,
                        minIndex,
                        numVertices,
                        startIndex,
                        0,
                        state_,
                        layout,
                        buffer,
                        buffer->data().bytes() + stream.offset,
                        buffer->data().size() - stream.offset,
                        stream.stride,
                        indices,
                        indexData,
                        indexSize,
                        indexCount,
                        context_->drawTag};
    context_->backend->draw(call);
    return D3D_OK;
}

HRESULT Device::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices,
                                UINT stride) {
    // Direct3D leaves stream 0 unbound after a user-pointer draw, whatever the outcome.
    StreamBinding& stream = state_.streams[0];
    if (stream.buffer != nullptr) {
        stream.buffer->Release();
    }
    stream = StreamBinding();
    if (lost()) {
        return D3D_OK;
    }
    HRESULT result = checkDrawBasics(type, primitiveCount);
    std::vector<D3DVERTEXELEMENT9> layout;
    UINT vertexSize = 0;
    if (FAILED(result) || vertices == nullptr || !currentLayout(layout, vertexSize) ||
        stride < vertexSize || stride == 0) {
        return D3DERR_INVALIDCALL;
    }
    for (const auto& element : layout) {
        if (element.Stream != 0) {
            return D3DERR_INVALIDCALL;
        }
    }
    const UINT count = verticesForPrimitives(type, primitiveCount);
    const DrawCall call{DrawKind::UserPointer,
                        type,
                        primitiveCount,
                        0,
                        0,
                        0,
                        0,
                        0,
                        state_,
                        layout,
                        nullptr,
                        static_cast<const BYTE*>(vertices),
                        count * stride,
                        stride,
                        nullptr,
                        nullptr,
                        0,
                        0,
                        context_->drawTag};
    context_->backend->draw(call);
    return D3D_OK;
}

}  // namespace d3d9
