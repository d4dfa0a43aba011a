#include "engine/render/mesh/mesh_instance.h"

#include "engine/core/errors.h"
#include "engine/render/effect/effect_pass.h"
#include "engine/render/texture/texture_loader.h"

namespace kesh {

MeshInstance::MeshInstance(DxDevice* device, MeshInfo* info)
    : info(info), textures(info->textureNames.begin(), info->textureNames.end()), device(device) {
    D3DXMatrixIdentity(&world);
    D3DVERTEXELEMENT9 elements[MAX_FVF_DECL_SIZE];
    HRESULT result = info->mesh->GetDeclaration(elements);
    if (FAILED(result)) {
        throwDxError(result, L"Failed to get mesh vertex declaration");
    }
    result = device->getDevice()->CreateVertexDeclaration(elements, declaration.out());
    if (FAILED(result)) {
        throwDxError(result, L"Failed to create vertex declaration");
    }
}

void MeshInstance::render(ID3DXEffect* effect, const CameraView& camera) {
    const D3DXMATRIX transform = world * camera.viewProjection;
    effect->SetMatrix("matrix_world_view_projection", &transform);

    win32::ComPtr<IDirect3DIndexBuffer9> indices;
    HRESULT result = info->mesh->GetIndexBuffer(indices.out());
    if (FAILED(result)) {
        throwDxError(result, L"Failed to get index buffer");
    }
    win32::ComPtr<IDirect3DVertexBuffer9> vertices;
    result = info->mesh->GetVertexBuffer(vertices.out());
    if (FAILED(result)) {
        throwDxError(result, L"Failed to get vertex buffer");
    }

    const UINT stride = info->mesh->GetNumBytesPerVertex();
    for (std::size_t i = 0; i < info->attributes.size(); ++i) {
        // Paired by material, not by position: a material without faces has no range.
        const int material = info->textureOfRange(i);
        if (material < 0) {
            continue;
        }
        const D3DXATTRIBUTERANGE& range = info->attributes[i];
        effect->SetTexture("tex_0", theTextureCache->fetch(textures[material]));
        for (EffectPass pass(effect, D3DXFX_DONOTSAVESTATE); pass.current < pass.count;
             pass.next()) {
            drawIndexedTriangles(device->getDevice(), declaration.get(), stride, vertices.get(),
                                 range.VertexStart, range.VertexCount, indices.get(),
                                 range.FaceStart * 3, range.FaceCount);
        }
    }
    effect->SetTexture("tex_0", nullptr);
}

}  // namespace kesh
