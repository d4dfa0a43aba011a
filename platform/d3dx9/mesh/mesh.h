// ID3DXMesh over a device's vertex and index buffers, with the attribute buffer and table
// kept in memory.
#pragma once

#include <vector>

#include "common/com_object.h"
#include "d3dx9mesh.h"

namespace d3dx9 {

class Mesh : public ComObject<ID3DXMesh> {
public:
    // Fails as D3DXCreateMesh does.
    static HRESULT create(DWORD numFaces, DWORD numVertices, DWORD options,
                          const D3DVERTEXELEMENT9* declaration, IDirect3DDevice9* device,
                          Mesh** mesh);

    HRESULT DrawSubset(DWORD attribId) override;
    DWORD GetNumFaces() override { return numFaces_; }
    DWORD GetNumVertices() override { return numVertices_; }
    DWORD GetFVF() override { return fvf_; }
    HRESULT GetDeclaration(D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE]) override;
    DWORD GetNumBytesPerVertex() override { return stride_; }
    DWORD GetOptions() override { return options_; }
    HRESULT GetDevice(IDirect3DDevice9** device) override;
    HRESULT GetVertexBuffer(IDirect3DVertexBuffer9** buffer) override;
    HRESULT GetIndexBuffer(IDirect3DIndexBuffer9** buffer) override;
    HRESULT LockVertexBuffer(DWORD flags, void** data) override;
    HRESULT UnlockVertexBuffer() override;
    HRESULT LockIndexBuffer(DWORD flags, void** data) override;
    HRESULT UnlockIndexBuffer() override;
    HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) override;
    HRESULT GenerateAdjacency(float epsilon, DWORD* adjacency) override;
    HRESULT LockAttributeBuffer(DWORD flags, DWORD** data) override;
    HRESULT UnlockAttributeBuffer() override;
    HRESULT OptimizeInplace(DWORD flags, const DWORD* adjacencyIn, DWORD* adjacencyOut,
                            DWORD* faceRemap, ID3DXBuffer** vertexRemap) override;
    HRESULT SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) override;

    bool uses32BitIndices() const { return (options_ & D3DXMESH_32BIT) != 0; }

private:
    Mesh() = default;
    ~Mesh() override;

    // Index i of the index buffer, read from locked memory.
    DWORD indexAt(const void* indices, size_t i) const;
    // minIndex and vertexCount are the device's hints for the range.
    HRESULT drawFaces(DWORD faceStart, DWORD faceCount, DWORD minIndex, DWORD vertexCount);

    IDirect3DDevice9* device_ = nullptr;
    IDirect3DVertexBuffer9* vertices_ = nullptr;
    IDirect3DIndexBuffer9* indices_ = nullptr;
    IDirect3DVertexDeclaration9* declaration_ = nullptr;
    std::vector<D3DVERTEXELEMENT9> elements_;  // without the end marker
    DWORD numFaces_ = 0;
    DWORD numVertices_ = 0;
    DWORD options_ = 0;
    DWORD fvf_ = 0;
    UINT stride_ = 0;
    std::vector<DWORD> attributes_;
    std::vector<D3DXATTRIBUTERANGE> table_;
    int attributeLocks_ = 0;
};

// Three entries per face: the face sharing each edge (corners c, c + 1) in the opposite
// direction, or 0xFFFFFFFF. `pointReps` maps each vertex to the first vertex at the same
// place.
std::vector<DWORD> adjacencyFromPointReps(const std::vector<DWORD>& indices,
                                          const std::vector<DWORD>& pointReps);
// The first vertex within epsilon (on every axis) of each vertex.
std::vector<DWORD> pointRepresentatives(const std::vector<D3DXVECTOR3>& positions, float epsilon);

}  // namespace d3dx9
