// Drawable mesh objects: a named mesh drawn with one effect and one texture, and the same
// kept around the eye (the sky globe).
#pragma once

#include <d3dx9.h>

#include <cstdint>
#include <string>

#include "engine/core/bounding_box.h"
#include "engine/render/camera_view.h"

namespace kesh {

class MeshInfo;

class Mesh {
public:
    // meshFile ending in ".x" (any case) comes from the ".x" cache; every other name is a
    // ".wfm" resource, ".wfm" being appended to a name with another extension. subset is
    // the attribute id drawn.
    Mesh(const std::string& meshFile, const std::string& effectFile, const std::string& textureName,
         std::uint32_t subset);
    // As above, the texture being the material's of the ".wfm" file (none for a ".x" file,
    // or an index past the file's materials); a name without a dot gets ".wfm".
    Mesh(const std::string& meshFile, const std::string& effectFile, std::uint32_t material,
         std::uint32_t subset);
    // The ".wfm" object of that name with its first material's texture, every attribute
    // range drawn.
    Mesh(const std::string& objectName, const std::string& effectFile);
    virtual ~Mesh() = default;
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // Draws through every drawing pass of the effect; the point goes through pre, world,
    // post and the camera (pre and post may be null). Nothing is drawn when the mesh
    // cannot be fetched.
    virtual void render(const CameraView& camera, const D3DXMATRIX* pre = nullptr,
                        const D3DXMATRIX* post = nullptr);
    // Sets "tex_0" and "matrix_world_view_projection".
    virtual void prepareEffect(const CameraView& camera, ID3DXEffect* effect, const D3DXMATRIX* pre,
                               const D3DXMATRIX* post);
    // Recomputes bounds from the vertex positions.
    virtual void computeBoundingBox();

    // Draw every attribute range of the mesh instead of one subset: the ranges of meshes
    // built from ".wfm" files are numbered from 1, so their subset 0 is empty.
    void setDrawAllRanges(bool on) { allRanges = on; }
    bool drawsAllRanges() const { return allRanges; }

    D3DXMATRIX world;
    std::string meshFile;
    std::string effectFile;
    std::string textureName;
    bool isWfm;
    std::uint32_t subset;
    BoundingBox bounds;

private:
    enum class NoDot { Keep, AppendWfm };
    void applyExtensionRule(NoDot noDot);
    void takeMaterialTexture(std::uint32_t material);
    // Null for a ".x" mesh.
    const MeshInfo* fetchInfo() const;
    // Null when the cache gives none.
    ID3DXMesh* fetchMesh() const;

    bool allRanges = false;
};

class TranslatedMesh : public Mesh {
public:
    TranslatedMesh(const std::string& meshFile, const std::string& effectFile,
                   const std::string& textureName, std::uint32_t subset);

    // Moves world's translation to the eye, keeping its rotation and scale, then does
    // what a Mesh does.
    void prepareEffect(const CameraView& camera, ID3DXEffect* effect, const D3DXMATRIX* pre,
                       const D3DXMATRIX* post) override;
};

}  // namespace kesh
