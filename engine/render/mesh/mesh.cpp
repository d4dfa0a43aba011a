#include "engine/render/mesh/mesh.h"

#include <set>
#include <vector>

#include "engine/core/errors.h"
#include "engine/core/strings.h"
#include "engine/render/effect/effect_cache.h"
#include "engine/render/effect/effect_parameters.h"
#include "engine/render/effect/effect_pass.h"
#include "engine/render/mesh/mesh_draw.h"
#include "engine/render/mesh/mesh_loaders.h"
#include "engine/render/texture/texture_loader.h"

namespace kesh {

namespace {

void drawSubset(ID3DXMesh* mesh, DWORD attribId) {
    const HRESULT result = mesh->DrawSubset(attribId);
    if (FAILED(result)) {
        throwDxError(result, L"Failed to render mesh");
    }
}

// The attribute ids the faces of a mesh without a table use, in ascending order.
std::set<DWORD> usedAttributes(ID3DXMesh* mesh) {
    std::set<DWORD> ids;
    DWORD* attributes = nullptr;
    const HRESULT result = mesh->LockAttributeBuffer(D3DLOCK_READONLY, &attributes);
    if (FAILED(result)) {
        throwDxError(result, L"Failed to render mesh");
    }
    ids.insert(attributes, attributes + mesh->GetNumFaces());
    mesh->UnlockAttributeBuffer();
    return ids;
}

// Every attribute range of mesh: each range of its attribute table, or without a table each
// attribute id its faces use.
void drawAllRangesOf(ID3DXMesh* mesh) {
    DWORD count = 0;
    if (SUCCEEDED(mesh->GetAttributeTable(nullptr, &count)) && count > 0) {
        // Kept from draw to draw: a draw allocates nothing once the largest table fitted.
        thread_local std::vector<D3DXATTRIBUTERANGE> table;
        table.resize(count);
        if (SUCCEEDED(mesh->GetAttributeTable(table.data(), &count))) {
            table.resize(count);
            for (const D3DXATTRIBUTERANGE& range : table) {
                drawSubset(mesh, range.AttribId);
            }
            return;
        }
    }
    for (DWORD id : usedAttributes(mesh)) {
        drawSubset(mesh, id);
    }
}

}  // namespace

Mesh::Mesh(const std::string& meshFile, const std::string& effectFile,
           const std::string& textureName, std::uint32_t subset)
    : meshFile(meshFile),
      effectFile(effectFile),
      textureName(textureName),
      isWfm(true),
      subset(subset) {
    D3DXMatrixIdentity(&world);
    applyExtensionRule(NoDot::Keep);
    computeBoundingBox();
}

Mesh::Mesh(const std::string& meshFile, const std::string& effectFile, std::uint32_t material,
           std::uint32_t subset)
    : meshFile(meshFile), effectFile(effectFile), isWfm(true), subset(subset) {
    D3DXMatrixIdentity(&world);
    applyExtensionRule(NoDot::AppendWfm);
    takeMaterialTexture(material);
    computeBoundingBox();
}

Mesh::Mesh(const std::string& objectName, const std::string& effectFile)
    : meshFile(objectName), effectFile(effectFile), isWfm(true), subset(0), allRanges(true) {
    D3DXMatrixIdentity(&world);
    applyExtensionRule(NoDot::AppendWfm);
    takeMaterialTexture(0);
    computeBoundingBox();
}

void Mesh::applyExtensionRule(NoDot noDot) {
    const std::size_t dot = meshFile.rfind('.');
    if (dot == std::string::npos) {
        if (noDot == NoDot::AppendWfm) {
            meshFile += ".wfm";
        }
        return;
    }
    const std::string extension = toLower(meshFile.substr(dot));
    if (extension == ".x") {
        isWfm = false;
    } else if (extension != ".wfm") {
        meshFile += ".wfm";
    }
}

void Mesh::takeMaterialTexture(std::uint32_t material) {
    if (!isWfm) {
        return;
    }
    // An index past the file's materials leaves the name empty, which the texture cache
    // answers with its stand-in: missing art shows rather than stopping the game.
    const MeshInfo* info = theMeshInfoCache->fetch(meshFile);
    if (info && material < info->textureNames.size()) {
        textureName = info->textureNames[material];
    }
}

const MeshInfo* Mesh::fetchInfo() const {
    return isWfm ? theMeshInfoCache->fetch(meshFile) : nullptr;
}

ID3DXMesh* Mesh::fetchMesh() const {
    if (isWfm) {
        const MeshInfo* info = fetchInfo();
        return info ? info->mesh.get() : nullptr;
    }
    return theMeshCache->fetch(meshFile);
}

void Mesh::render(const CameraView& camera, const D3DXMATRIX* pre, const D3DXMATRIX* post) {
    const MeshInfo* info = fetchInfo();
    ID3DXMesh* mesh = info ? info->mesh.get() : fetchMesh();
    if (!mesh) {
        return;
    }
    ID3DXEffect* effect = theEffectCache->fetch(effectFile);
    prepareEffect(camera, effect, pre, post);
    if (info && allRanges) {
        drawMeshRanges(*info, effect);
        return;
    }
    for (EffectPass pass(effect, D3DXFX_DONOTSAVESTATE); pass.current < pass.count; pass.next()) {
        if (allRanges) {
            drawAllRangesOf(mesh);
        } else {
            drawSubset(mesh, subset);
        }
    }
}

void Mesh::prepareEffect(const CameraView& camera, ID3DXEffect* effect, const D3DXMATRIX* pre,
                         const D3DXMATRIX* post) {
    IDirect3DTexture9* texture = theTextureCache->fetch(textureName);
    const D3DXMATRIX local = pre ? *pre * world : world;
    const D3DXMATRIX view = post ? *post * camera.viewProjection : camera.viewProjection;
    const D3DXMATRIX transform = local * view;
    effect->SetTexture(fx::kTexture0, texture);
    effect->SetMatrix(fx::kWorldViewProjection, &transform);
}

void Mesh::computeBoundingBox() {
    ID3DXMesh* mesh = fetchMesh();
    bounds = mesh ? computeMeshBoundingBox(mesh) : BoundingBox();
}

TranslatedMesh::TranslatedMesh(const std::string& meshFile, const std::string& effectFile,
                               const std::string& textureName, std::uint32_t subset)
    : Mesh(meshFile, effectFile, textureName, subset) {}

void TranslatedMesh::prepareEffect(const CameraView& camera, ID3DXEffect* effect,
                                   const D3DXMATRIX* pre, const D3DXMATRIX* post) {
    world._41 = camera.camera._41;
    world._42 = camera.camera._42;
    world._43 = camera.camera._43;
    Mesh::prepareEffect(camera, effect, pre, post);
}

}  // namespace kesh
