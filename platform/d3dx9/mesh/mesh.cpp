#include "mesh/mesh.h"

#include <algorithm>
#include <cstring>

#include "mesh/vertex_format.h"

namespace d3dx9 {
namespace {

D3DPOOL poolOf(DWORD options, DWORD managedBit, DWORD systemBit) {
    if (options & managedBit) {
        return D3DPOOL_MANAGED;
    }
    return (options & systemBit) ? D3DPOOL_SYSTEMMEM : D3DPOOL_DEFAULT;
}

DWORD usageOf(DWORD options, DWORD writeOnlyBit, DWORD dynamicBit) {
    DWORD usage = 0;
    if (options & writeOnlyBit) {
        usage |= D3DUSAGE_WRITEONLY;
    }
    if (options & dynamicBit) {
        usage |= D3DUSAGE_DYNAMIC;
    }
    return usage;
}

}  // namespace

HRESULT Mesh::create(DWORD numFaces, DWORD numVertices, DWORD options,
                     const D3DVERTEXELEMENT9* declaration, IDirect3DDevice9* device, Mesh** mesh) {
    if (mesh == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *mesh = nullptr;
    std::vector<D3DVERTEXELEMENT9> elements;
    if (device == nullptr || numFaces == 0 || numVertices == 0 ||
        !declarationElements(declaration, elements)) {
        return D3DERR_INVALIDCALL;
    }
    const bool wide = (options & D3DXMESH_32BIT) != 0;
    // 16-bit indices reach vertex 65535 at most.
    if (!wide && numVertices > 0xFFFFu) {
        return D3DERR_INVALIDCALL;
    }
    const UINT stride = streamVertexSize(elements, 0);
    const unsigned long long vertexBytes = 1ull * numVertices * stride;
    const unsigned long long indexBytes = 3ull * numFaces * (wide ? 4 : 2);
    if (stride == 0 || vertexBytes > 0x7FFFFFFFull || indexBytes > 0x7FFFFFFFull) {
        return D3DERR_INVALIDCALL;
    }

    ComRef<Mesh> made(new Mesh());
    Mesh& m = *made.get();
    std::vector<D3DVERTEXELEMENT9> terminated = elements;
    terminated.push_back(D3DDECL_END());
    HRESULT hr = device->CreateVertexDeclaration(terminated.data(), &m.declaration_);
    if (FAILED(hr)) {
        return hr;
    }
    m.fvf_ = fvfOfElements(elements);
    hr = device->CreateVertexBuffer(
        static_cast<UINT>(vertexBytes),
        usageOf(options, D3DXMESH_VB_WRITEONLY, D3DXMESH_VB_DYNAMIC), m.fvf_,
        poolOf(options, D3DXMESH_VB_MANAGED, D3DXMESH_VB_SYSTEMMEM), &m.vertices_, nullptr);
    if (FAILED(hr)) {
        return hr;
    }
    hr = device->CreateIndexBuffer(
        static_cast<UINT>(indexBytes), usageOf(options, D3DXMESH_IB_WRITEONLY, D3DXMESH_IB_DYNAMIC),
        wide ? D3DFMT_INDEX32 : D3DFMT_INDEX16,
        poolOf(options, D3DXMESH_IB_MANAGED, D3DXMESH_IB_SYSTEMMEM), &m.indices_, nullptr);
    if (FAILED(hr)) {
        return hr;
    }
    m.device_ = device;
    device->AddRef();
    m.elements_ = std::move(elements);
    m.numFaces_ = numFaces;
    m.numVertices_ = numVertices;
    m.options_ = options;
    m.stride_ = stride;
    m.attributes_.assign(numFaces, 0);
    *mesh = made.release();
    return D3D_OK;
}

Mesh::~Mesh() {
    if (indices_ != nullptr) {
        indices_->Release();
    }
    if (vertices_ != nullptr) {
        vertices_->Release();
    }
    if (declaration_ != nullptr) {
        declaration_->Release();
    }
    if (device_ != nullptr) {
        device_->Release();
    }
}

DWORD Mesh::indexAt(const void* indices, size_t i) const {
    return uses32BitIndices() ? static_cast<const DWORD*>(indices)[i]
                              : static_cast<const WORD*>(indices)[i];
}

HRESULT Mesh::GetDeclaration(D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE]) {
    if (declaration == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    std::copy(elements_.begin(), elements_.end(), declaration);
    declaration[elements_.size()] = D3DDECL_END();
    return D3D_OK;
}

HRESULT Mesh::GetDevice(IDirect3DDevice9** device) {
    if (device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *device = device_;
    device_->AddRef();
    return D3D_OK;
}

HRESULT Mesh::GetVertexBuffer(IDirect3DVertexBuffer9** buffer) {
    if (buffer == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *buffer = vertices_;
    vertices_->AddRef();
    return D3D_OK;
}

HRESULT Mesh::GetIndexBuffer(IDirect3DIndexBuffer9** buffer) {
    if (buffer == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *buffer = indices_;
    indices_->AddRef();
    return D3D_OK;
}

HRESULT Mesh::LockVertexBuffer(DWORD flags, void** data) {
    return vertices_->Lock(0, 0, data, flags);
}

HRESULT Mesh::UnlockVertexBuffer() {
    return vertices_->Unlock();
}

HRESULT Mesh::LockIndexBuffer(DWORD flags, void** data) {
    return indices_->Lock(0, 0, data, flags);
}

HRESULT Mesh::UnlockIndexBuffer() {
    return indices_->Unlock();
}

HRESULT Mesh::LockAttributeBuffer(DWORD, DWORD** data) {
    if (data == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *data = attributes_.data();
    ++attributeLocks_;
    return D3D_OK;
}

HRESULT Mesh::UnlockAttributeBuffer() {
    if (attributeLocks_ == 0) {
        return D3DERR_INVALIDCALL;
    }
    --attributeLocks_;
    return D3D_OK;
}

HRESULT Mesh::GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) {
    if (size == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    if (table == nullptr) {
        *size = static_cast<DWORD>(table_.size());
        return D3D_OK;
    }
    const DWORD copied = std::min<DWORD>(*size, static_cast<DWORD>(table_.size()));
    std::copy(table_.begin(), table_.begin() + copied, table);
    *size = copied;
    return D3D_OK;
}

HRESULT Mesh::SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) {
    if (table == nullptr && size != 0) {
        return D3DERR_INVALIDCALL;
    }
    // A range outside the buffers would make DrawSubset read past them.
    for (DWORD i = 0; i < size; ++i) {
        const D3DXATTRIBUTERANGE& range = table[i];
        if (1ull * range.FaceStart + range.FaceCount > numFaces_ ||
            1ull * range.VertexStart + range.VertexCount > numVertices_) {
            return D3DERR_INVALIDCALL;
        }
    }
    table_.assign(table, table + size);
    return D3D_OK;
}

HRESULT Mesh::drawFaces(DWORD faceStart, DWORD faceCount, DWORD minIndex, DWORD vertexCount) {
    HRESULT hr = device_->SetVertexDeclaration(declaration_);
    if (SUCCEEDED(hr)) {
        hr = device_->SetStreamSource(0, vertices_, 0, stride_);
    }
    if (SUCCEEDED(hr)) {
        hr = device_->SetIndices(indices_);
    }
    if (SUCCEEDED(hr)) {
        hr = device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, minIndex, vertexCount,
                                           faceStart * 3, faceCount);
    }
    return hr;
}

HRESULT Mesh::DrawSubset(DWORD attribId) {
    if (!table_.empty()) {
        for (const D3DXATTRIBUTERANGE& range : table_) {
            if (range.AttribId != attribId) {
                continue;
            }
            if (range.FaceCount == 0) {
                return D3D_OK;
            }
            return drawFaces(range.FaceStart, range.FaceCount, range.VertexStart,
                             range.VertexCount);
        }
        return D3D_OK;
    }
    // Without a table each run of faces carrying the id is one draw.
    DWORD face = 0;
    while (face < numFaces_) {
        if (attributes_[face] != attribId) {
            ++face;
            continue;
        }
        const DWORD start = face;
        while (face < numFaces_ && attributes_[face] == attribId) {
            ++face;
        }
        const HRESULT hr = drawFaces(start, face - start, 0, numVertices_);
        if (FAILED(hr)) {
            return hr;
        }
    }
    return D3D_OK;
}

}  // namespace d3dx9

HRESULT D3DXCreateMesh(DWORD numFaces, DWORD numVertices, DWORD options,
                       const D3DVERTEXELEMENT9* declaration, IDirect3DDevice9* device,
                       ID3DXMesh** mesh) {
    if (mesh == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    d3dx9::Mesh* made = nullptr;
    const HRESULT hr =
        d3dx9::Mesh::create(numFaces, numVertices, options, declaration, device, &made);
    *mesh = made;
    return hr;
}

HRESULT D3DXCreateMeshFVF(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf,
                          IDirect3DDevice9* device, ID3DXMesh** mesh) {
    D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE];
    if (mesh != nullptr) {
        *mesh = nullptr;
    }
    const HRESULT hr = D3DXDeclaratorFromFVF(fvf, declaration);
    if (FAILED(hr)) {
        return hr;
    }
    return D3DXCreateMesh(numFaces, numVertices, options, declaration, device, mesh);
}
