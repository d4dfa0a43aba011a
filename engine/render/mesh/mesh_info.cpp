#include "engine/render/mesh/mesh_info.h"

#include <utility>

#include "engine/core/errors.h"

namespace kesh {

namespace {

// Runs compute over the vertex positions of a read-only lock of the whole vertex buffer.
// The lock is undone before any failure of compute is reported.
template <class Compute>
void overPositions(ID3DXBaseMesh* mesh, Compute compute, const wchar_t* computeFailure) {
    void* data = nullptr;
    HRESULT result = mesh->LockVertexBuffer(D3DLOCK_READONLY, &data);
    if (FAILED(result)) {
        throwDxError(result, L"Failed to lock vertex buffer");
    }
    const HRESULT computed = compute(static_cast<const D3DXVECTOR3*>(data), mesh->GetNumVertices(),
                                     mesh->GetNumBytesPerVertex());
    result = mesh->UnlockVertexBuffer();
    if (FAILED(computed)) {
        throwDxError(computed, computeFailure);
    }
    if (FAILED(result)) {
        throwDxError(result, L"Failed to unlock vertex buffer");
    }
}

}  // namespace

BoundingBox computeMeshBoundingBox(ID3DXBaseMesh* mesh) {
    BoundingBox box;
    overPositions(
        mesh,
        [&box](const D3DXVECTOR3* first, DWORD count, DWORD stride) {
            return D3DXComputeBoundingBox(first, count, stride, &box.min, &box.max);
        },
        L"Failed to compute bounding box");
    return box;
}

MeshInfo::MeshInfo(win32::ComPtr<ID3DXMesh> heldMesh, const std::vector<std::string>& textureNames)
    : mesh(std::move(heldMesh)),
      textureNames(textureNames),
      textures(textureNames.begin(), textureNames.end()) {
    DWORD count = 0;
    if (SUCCEEDED(mesh->GetAttributeTable(nullptr, &count)) && count > 0) {
        attributes.resize(count);
        if (FAILED(mesh->GetAttributeTable(attributes.data(), &count))) {
            count = 0;
        }
        attributes.resize(count);
    }
    takeBuffers();
}

void MeshInfo::takeBuffers() {
    HRESULT result = mesh->GetIndexBuffer(buffers.indices.out());
    if (FAILED(result)) {
        throwDxError(result, L"Failed to get index buffer");
    }
    result = mesh->GetVertexBuffer(buffers.vertices.out());
    if (FAILED(result)) {
        throwDxError(result, L"Failed to get vertex buffer");
    }
    D3DVERTEXELEMENT9 elements[MAX_FVF_DECL_SIZE];
    result = mesh->GetDeclaration(elements);
    if (FAILED(result)) {
        throwDxError(result, L"Failed to get mesh vertex declaration");
    }
    result = mesh->GetDevice(buffers.device.out());
    if (SUCCEEDED(result)) {
        result = buffers.device->CreateVertexDeclaration(elements, buffers.declaration.out());
    }
    if (FAILED(result)) {
        throwDxError(result, L"Failed to create vertex declaration");
    }
    buffers.stride = mesh->GetNumBytesPerVertex();
}

BoundingBox MeshInfo::computeBoundingBox() const {
    return computeMeshBoundingBox(mesh.get());
}

BoundingSphere MeshInfo::computeBoundingSphere() const {
    BoundingSphere sphere;
    overPositions(
        mesh.get(),
        [&sphere](const D3DXVECTOR3* first, DWORD count, DWORD stride) {
            return D3DXComputeBoundingSphere(first, count, stride, &sphere.centre, &sphere.radius);
        },
        L"Failed to compute bounding sphere");
    return sphere;
}

int MeshInfo::textureOfRange(std::size_t i) const {
    const std::size_t material = rangeMaterials.empty()
                                     ? i
                                     : (i < rangeMaterials.size() && rangeMaterials[i] >= 0
                                            ? static_cast<std::size_t>(rangeMaterials[i])
                                            : textureNames.size());
    return material < textureNames.size() ? static_cast<int>(material) : -1;
}

}  // namespace kesh
