#include "engine/render/mesh/mesh_instance.h"

#include "engine/render/mesh/mesh_draw.h"

namespace kesh {

MeshInstance::MeshInstance(MeshInfo* info) : info(info) {
    D3DXMatrixIdentity(&world);
}

void MeshInstance::render(ID3DXEffect* effect, const CameraView& camera,
                          IDirect3DBaseTexture9* lightmap) {
    drawMeshInfo(*info, effect, world, camera.viewProjection, MeshTextures::ownMaterial(lightmap),
                 MeshDrawFailures::deviceCall);
}

}  // namespace kesh
