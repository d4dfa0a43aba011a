// Draws quads of one vertex type in chunks: a dynamic vertex buffer of `capacity` quads and
// an index buffer holding the two triangles (0, 1, 2) and (0, 2, 3) of each, both in the
// default pool. Both are made in OnResetDevice and freed in OnLostDevice, so the owner
// registers the renderer with the device (ListenerRegistration) and drops it after the
// registration ends.
//
// A chunk: lock(n), write 4n vertices, unlock(), then draw(n) inside each effect pass.
#pragma once

#include <d3d9.h>
#include <d3dx9.h>

#include "engine/core/errors.h"
#include "engine/render/device/device_listener.h"
#include "engine/render/device/dx_device.h"
#include "engine/render/log_lines.h"
#include "win32/com_ptr.h"

namespace kesh {

// V is a vertex with a static `kFvf` that describes its layout (see quad_vertices.h).
template <class V>
class particle_quad_renderer : public DeviceListener {
public:
    // No buffers until the first OnResetDevice.
    particle_quad_renderer(DxDevice* device, UINT capacity) : device(device), capacity(capacity) {}
    particle_quad_renderer(const particle_quad_renderer&) = delete;
    particle_quad_renderer& operator=(const particle_quad_renderer&) = delete;

    // Throws when V's size differs from its FVF's (logged on "error") or a buffer cannot
    // be made.
    void OnResetDevice() override {
        const UINT fvfSize = D3DXGetFVFVertexSize(V::kFvf);
        if (fvfSize != sizeof(V)) {
            using boost::log::logError;
            writeLine(logError(), "Declared vertex size (", sizeof(V), ")!= as of FVF size (",
                      fvfSize, ")");
            writeLine(logError(), "vector2 size = ", sizeof(D3DXVECTOR2));
            writeLine(logError(), "vector3 size = ", sizeof(D3DXVECTOR3));
            throwRuntimeError(L"particle_quad_renderer: Invalid FVF for vertex in renderer");
        }
        IDirect3DDevice9* d3d = device->getDevice();
        indices = create_index_buffer(d3d, capacity * 6, D3DFMT_INDEX16, D3DUSAGE_WRITEONLY,
                                      D3DPOOL_DEFAULT);
        fillQuadIndices(indices.get(), capacity);
        vertices =
            create_vertex_buffer(d3d, capacity * 4 * sizeof(V),
                                 D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, V::kFvf, D3DPOOL_DEFAULT);
    }

    // Safe to call twice.
    void OnLostDevice() override {
        vertices.reset();
        indices.reset();
    }

    // The first 4n vertices, discarding what the buffer held; the caller unlocks. Throws
    // when the buffer is missing (device lost) or refuses the lock, e.g. for n > capacity.
    V* lock(UINT quads) {
        void* data = nullptr;
        const HRESULT result =
            vertices ? vertices->Lock(0, quads * 4 * sizeof(V), &data, D3DLOCK_DISCARD)
                     : D3DERR_INVALIDCALL;
        if (FAILED(result)) {
            throwDxError(result, L"Vertex buffer lock failed");
        }
        return static_cast<V*>(data);
    }
    void unlock() { vertices->Unlock(); }

    // Draws the first n quads with this renderer's buffers bound and leaves nothing bound.
    // Results are not checked: a failed draw only loses the chunk.
    void draw(UINT quads) {
        IDirect3DDevice9* d3d = device->getDevice();
        d3d->SetFVF(V::kFvf);
        d3d->SetIndices(indices.get());
        d3d->SetStreamSource(0, vertices.get(), 0, sizeof(V));
        d3d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, quads * 4, 0, quads * 2);
        d3d->SetFVF(0);
        d3d->SetIndices(nullptr);
        d3d->SetStreamSource(0, nullptr, 0, 0);
    }

    UINT getCapacity() const { return capacity; }
    IDirect3DIndexBuffer9* indexBuffer() const { return indices.get(); }
    IDirect3DVertexBuffer9* vertexBuffer() const { return vertices.get(); }

private:
    DxDevice* device;
    UINT capacity;  // quads per chunk
    win32::ComPtr<IDirect3DIndexBuffer9> indices;
    win32::ComPtr<IDirect3DVertexBuffer9> vertices;
};

}  // namespace kesh
