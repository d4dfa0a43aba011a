// A placed copy of a ".wfm" mesh that draws each attribute range with the texture of its
// own material (the level's statics).
#pragma once

#include <d3dx9.h>

#include <vector>

#include "engine/core/resource/resource_id.h"

#include "engine/render/camera_view.h"
#include "engine/render/device/dx_device.h"
#include "engine/render/mesh/mesh_info.h"
#include "win32/com_ptr.h"

namespace kesh {

class MeshInstance {
public:
    // info stays with its cache and must outlive the instance. Throws when the mesh's
    // declaration cannot be read or made on the device.
    MeshInstance(DxDevice* device, MeshInfo* info);
    MeshInstance(const MeshInstance&) = delete;
    MeshInstance& operator=(const MeshInstance&) = delete;

    void setTransform(const D3DXMATRIX& transform) { world = transform; }

    // Each range whose material has a texture name is drawn through every drawing pass of
    // effect with that texture as "tex_0"; "tex_0" is null afterwards.
    void render(ID3DXEffect* effect, const CameraView& camera);

    D3DXMATRIX world;
    MeshInfo* info;
    // info's texture names as identifiers, made once rather than at every draw.
    std::vector<ResourceId> textures;
    win32::ComPtr<IDirect3DVertexDeclaration9> declaration;
    DxDevice* device;
};

}  // namespace kesh
