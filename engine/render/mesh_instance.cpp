#include "engine/render/mesh_instance.h"

#include <memory>

#include "engine/core/errors.h"
#include "engine/render/effect_pass.h"
#include "engine/render/texture_loader.h"

namespace kesh {

namespace {

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <class T>
using ComPtr = std::unique_ptr<T, ComRelease>;

}  // namespace

MeshInstance::MeshInstance(DxDevice* device, MeshInfo* info) : info(info), device(device) {
    D3DXMatrixIdentity(&world);
    D3DVERTEXELEMENT9 elements[MAX_FVF_DECL_SIZE];
    HRESULT result = info->mesh->GetDeclaration(elements);
    if (FAILED(result)) {
        throwDxError(result, L"Failed to get mesh vertex declaration");
    }
    result = device->getDevice()->CreateVertexDeclaration(elements, &declaration);
    if (FAILED(result)) {
        declaration = nullptr;
        throwDxError(result, L"Failed to create vertex declaration");
    }
}

MeshInstance::~MeshInstance() {
    if (declaration) {
        declaration->Release();
    }
}

void MeshInstance::render(ID3DXEffect* effect, const CameraView& camera) {
    const D3DXMATRIX transform = world * camera.viewProjection;
    effect->SetMatrix("matrix_world_view_projection", &transform);

    IDirect3DIndexBuffer9* rawIndices = nullptr;
    HRESULT result = info->mesh->GetIndexBuffer(&rawIndices);
    if (FAILED(result)) {
        throwDxError(result, L"Failed to get index buffer");
    }
    const ComPtr<IDirect3DIndexBuffer9> indices(rawIndices);
    IDirect3DVertexBuffer9* rawVertices = nullptr;
    result = info->mesh->GetVertexBuffer(&rawVertices);
    if (FAILED(result)) {
        throwDxError(result, L"Failed to get vertex buffer");
    }
    const ComPtr<IDirect3DVertexBuffer9> vertices(rawVertices);

    const UINT stride = info->mesh->GetNumBytesPerVertex();
    for (std::size_t i = 0; i < info->attributes.size(); ++i) {
        // Paired by material, not by position: a material without faces has no range.
        const int material = info->textureOfRange(i);
        if (material < 0) {
            continue;
        }
        const D3DXATTRIBUTERANGE& range = info->attributes[i];
        effect->SetTexture("tex_0", theTextureCache->fetch(info->textureNames[material]));
        for (EffectPass pass(effect, D3DXFX_DONOTSAVESTATE); pass.current < pass.count;
             pass.next()) {
            drawIndexedTriangles(device->getDevice(), declaration, stride, vertices.get(),
                                 range.VertexStart, range.VertexCount, indices.get(),
                                 range.FaceStart * 3, range.FaceCount);
        }
    }
    effect->SetTexture("tex_0", nullptr);
}

}  // namespace kesh
