// A placed copy of a ".wfm" mesh that draws each attribute range with the texture of its
// own material (the level's statics).
#pragma once

#include <d3dx9.h>

#include "engine/render/camera_view.h"
#include "engine/render/mesh/mesh_info.h"

namespace kesh {

class MeshInstance {
public:
    // info stays with its cache and must outlive the instance.
    explicit MeshInstance(MeshInfo* info);
    MeshInstance(const MeshInstance&) = delete;
    MeshInstance& operator=(const MeshInstance&) = delete;

    void setTransform(const D3DXMATRIX& transform) { world = transform; }

    // Each range whose material has a texture name is drawn through every drawing pass of
    // effect with that texture as "tex_0"; "tex_0" is null afterwards. lightmap, when not
    // null, is "tex_1" for every range. A refused draw throws "Failed to draw indexed
    // primitive".
    void render(ID3DXEffect* effect, const CameraView& camera,
                IDirect3DBaseTexture9* lightmap = nullptr);

    D3DXMATRIX world;
    MeshInfo* info;
};

}  // namespace kesh
