// The resource of the ".wfm" cache: a built mesh with one texture name per material, its
// attribute ranges and the object's part boxes.
#pragma once

#include <d3dx9mesh.h>

#include <string>
#include <vector>

#include "engine/core/bounding_box.h"
#include "engine/core/resource/resource_id.h"
#include "win32/com_ptr.h"

namespace kesh {

struct BoundingSphere {
    D3DXVECTOR3 centre;
    float radius = 0.0f;
};

class MeshInfo {
public:
    // Holds mesh (a copy of a holder adds a reference), reads the attribute table back and
    // takes what drawing its ranges binds. Throws "Failed to get index buffer", "Failed to get
    // vertex buffer", "Failed to get mesh vertex declaration" or "Failed to create vertex
    // declaration".
    MeshInfo(win32::ComPtr<ID3DXMesh> mesh, const std::vector<std::string>& textureNames);
    MeshInfo(const MeshInfo&) = delete;
    MeshInfo& operator=(const MeshInfo&) = delete;

    std::size_t boxCount() const { return partBoxes.size(); }
    // i must be below boxCount().
    const BoundingBox* box(std::size_t i) const { return &partBoxes[i]; }

    // Over every vertex position; failures throw std::runtime_error.
    BoundingBox computeBoundingBox() const;
    BoundingSphere computeBoundingSphere() const;

    // The material whose texture range i is drawn with: rangeMaterials[i] when the builder
    // recorded it, else i itself. -1 when the range has no texture name to draw with.
    int textureOfRange(std::size_t i) const;

    win32::ComPtr<ID3DXMesh> mesh;
    std::vector<std::string> textureNames;  // already rewritten to ".dds"
    // textureNames as identifiers, made once: a draw fetches them without building a name.
    std::vector<ResourceId> textures;
    std::vector<D3DXATTRIBUTERANGE> attributes;
    std::vector<BoundingBox> partBoxes;  // z already negated
    // The material index of each attribute range, in range order; empty for a mesh that
    // did not come from mesh records.
    std::vector<int> rangeMaterials;

    // What drawMeshInfo binds to draw the ranges straight from the mesh's buffers, taken
    // once for every instance and draw of the mesh.
    struct Buffers {
        win32::ComPtr<IDirect3DDevice9> device;
        win32::ComPtr<IDirect3DVertexDeclaration9> declaration;
        win32::ComPtr<IDirect3DVertexBuffer9> vertices;
        win32::ComPtr<IDirect3DIndexBuffer9> indices;
        UINT stride = 0;
    };
    Buffers buffers;

private:
    void takeBuffers();
};

// The box of the positions at the start of each vertex, as D3DXComputeBoundingBox gives
// it. Throws with "Failed to lock vertex buffer", "Failed to compute bounding box" or
// "Failed to unlock vertex buffer".
BoundingBox computeMeshBoundingBox(ID3DXBaseMesh* mesh);

}  // namespace kesh
