// The one way a mesh info is drawn: its attribute ranges straight from the mesh's buffers,
// through every drawing pass of an effect, with the world-view-projection and the textures
// set through the shared parameter handles.
#pragma once

#include <d3dx9.h>

#include "engine/render/mesh/mesh_info.h"

namespace kesh {

// Which texture each attribute range is drawn with, as "tex_0".
struct MeshTextures {
    enum class Source {
        FirstMaterial,  // every range the first material's; untextured without a material
        OwnMaterial,    // each range its own material's; a range without one is not drawn
        Given,          // every range `texture`; null draws untextured
    };

    static MeshTextures firstMaterial() { return {Source::FirstMaterial, nullptr, nullptr}; }
    // lightmap, when not null, goes to "tex_1" (the statics).
    static MeshTextures ownMaterial(IDirect3DBaseTexture9* lightmap = nullptr) {
        return {Source::OwnMaterial, nullptr, lightmap};
    }
    static MeshTextures given(IDirect3DBaseTexture9* texture) {
        return {Source::Given, texture, nullptr};
    }

    Source source;
    IDirect3DBaseTexture9* texture;
    IDirect3DBaseTexture9* lightmap;
};

// What a failed draw throws with: a mesh object's "Failed to render mesh" whatever failed, or
// a placed instance's text for the device call that failed ("Failed to set index buffer",
// "Failed to set vertex declaration", "Failed to set stream source", "Failed to draw indexed
// primitive").
enum class MeshDrawFailures { renderMesh, deviceCall };

// Sets "matrix_world_view_projection" to world x viewProjection (a camera's view-projection,
// or its projection alone for what stays in front of the eye) and draws every range of info
// through every drawing pass of effect; the caller sets the effect's other parameters
// first. With one texture for all ranges each pass draws every range; with each range's own
// texture every range runs the passes on its own. "tex_0" is null afterwards, and the
// mesh's buffers are unbound however the draw ends. Throws with the texts of `failures`.
void drawMeshInfo(const MeshInfo& info, ID3DXEffect* effect, const D3DXMATRIX& world,
                  const D3DXMATRIX& viewProjection,
                  const MeshTextures& textures = MeshTextures::firstMaterial(),
                  MeshDrawFailures failures = MeshDrawFailures::renderMesh);

// As above, with the effect's parameters, world-view-projection and "tex_0" included, as
// the caller set them.
void drawMeshRanges(const MeshInfo& info, ID3DXEffect* effect);

}  // namespace kesh
