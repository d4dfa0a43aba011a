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

std::uint64_t nextLayoutId() {
    static std::uint64_t next = 0;
    return ++next;
}

}  // namespace

void Device::refreshLayout() {
    layout_.clear();
    if (state_.declaration != nullptr) {
        const auto& elements =
            static_cast<const VertexDeclaration*>(state_.declaration)->elements();
        layout_.assign(elements.begin(), elements.end());
    } else if (state_.fvf != 0) {
        UINT size = 0;
        if (!fvfLayout(state_.fvf, layout_, size)) {
            layout_.clear();
        }
    }
    layoutStreamCount_ = 0;
    for (UINT stream = 0; stream < kStreamCount; ++stream) {
        streamVertexSizes_[stream] = streamVertexSize(layout_, stream);
        if (streamVertexSizes_[stream] != 0) {
            layoutStreams_[layoutStreamCount_++] = stream;
        }
    }
    layoutId_ = nextLayoutId();
}

bool Device::streamsCover(std::uint64_t last) const {
    for (UINT i = 0; i < layoutStreamCount_; ++i) {
        const UINT stream = layoutStreams_[i];
        const UINT vertexSize = streamVertexSizes_[stream];
        const StreamBinding& binding = state_.streams[stream];
        if (binding.buffer == nullptr || binding.stride < vertexSize) {
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
    if (FAILED(result) || layout_.empty()) {
        return D3DERR_INVALIDCALL;
    }
    const UINT count = verticesForPrimitives(type, primitiveCount);
    if (!streamsCover(std::uint64_t{startVertex} + count - 1)) {
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
                        layout_,
                        layoutId_,
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
    if (FAILED(result) || state_.indices == nullptr || layout_.empty()) {
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
    if (first < 0 || !streamsCover(static_cast<std::uint64_t>(last))) {
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
                        layout_,
                        layoutId_,
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
    state_.bindingsVersion = nextStateVersion();
    if (lost()) {
        return D3D_OK;
    }
    HRESULT result = checkDrawBasics(type, primitiveCount);
    if (FAILED(result) || vertices == nullptr || layout_.empty() ||
        stride < streamVertexSizes_[0] || stride == 0) {
        return D3DERR_INVALIDCALL;
    }
    for (UINT other = 1; other < kStreamCount; ++other) {
        if (streamVertexSizes_[other] != 0) {
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
                        layout_,
                        layoutId_,
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
