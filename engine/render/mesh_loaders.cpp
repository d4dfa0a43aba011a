#include "engine/render/mesh_loaders.h"

#include <d3dx9shape.h>

#include <memory>

#include "engine/core/log.h"
#include "engine/core/stream_source.h"
#include "engine/core/strings.h"
#include "engine/render/log_lines.h"
#include "engine/render/mesh_builder.h"

namespace kesh {

MeshCache* theMeshCache = nullptr;
MeshInfoCache* theMeshInfoCache = nullptr;

namespace {

struct BufferRelease {
    void operator()(ID3DXBuffer* buffer) const { buffer->Release(); }
};
using BufferPtr = std::unique_ptr<ID3DXBuffer, BufferRelease>;

}  // namespace

MeshLoader::MeshLoader(DxDevice* device, const std::string& directory)
    : directory(directory), device(device) {}

MeshLoader::~MeshLoader() {
    if (fallback) {
        fallback->Release();
    }
}

ID3DXMesh* MeshLoader::defaultMesh() {
    if (!fallback &&
        FAILED(D3DXCreateBox(device->getDevice(), 1.0f, 4.0f, 1.0f, &fallback, nullptr))) {
        fallback = nullptr;
        return nullptr;
    }
    fallback->AddRef();
    return fallback;
}

ID3DXMesh* MeshLoader::load(const ResourceId& id) {
    const std::string path = directory + id.id;
    ID3DXBuffer* adjacency = nullptr;
    ID3DXBuffer* materials = nullptr;
    ID3DXBuffer* effects = nullptr;
    DWORD materialCount = 0;
    ID3DXMesh* mesh = nullptr;
    const HRESULT loaded =
        D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_MANAGED, device->getDevice(), &adjacency,
                           &materials, &effects, &materialCount, &mesh);
    // Materials of ".x" files are not used: a Mesh names its texture itself.
    const BufferPtr heldAdjacency(adjacency), heldMaterials(materials), heldEffects(effects);
    if (FAILED(loaded) || !mesh) {
        writeLine(boost::log::logResource(), "Failed to load mesh ", path);
        return defaultMesh();
    }
    const DWORD* adjacencyData =
        adjacency ? static_cast<const DWORD*>(adjacency->GetBufferPointer()) : nullptr;
    if (FAILED(mesh->OptimizeInplace(D3DXMESHOPT_VERTEXCACHE, adjacencyData, nullptr, nullptr,
                                     nullptr))) {
        writeLine(boost::log::logResource(), "Failed to optimize mesh");
        mesh->Release();
        return defaultMesh();
    }
    return mesh;
}

void MeshLoader::release(ID3DXMesh*& mesh) {
    if (mesh) {
        mesh->Release();
    }
}

MeshInfoLoader::MeshInfoLoader(DxDevice* device, const std::string& directory)
    : directory(directory), device(device) {}

MeshInfo* MeshInfoLoader::load(const ResourceId& id) {
    const std::string path = directory + id.id;
    MeshInfo* info = nullptr;
    try {
        // A file that cannot be opened gives no source, and reading without one fails as
        // a stream error like any unreadable file.
        const std::unique_ptr<StreamSource> source = openStreamSource(toWide(path));
        StreamReader reader(source.get());
        info = readTriMesh(device, reader);
    } catch (const stream::error&) {
        writeLine(boost::log::logResource(), "Failed to read from stream, returning default");
        info = nullptr;
    }
    if (!info) {
        writeLine(boost::log::logResource(), "Failed to load mesh ", path);
        return fallback;
    }
    return info;
}

void MeshInfoLoader::release(MeshInfo*& info) {
    if (info && info != fallback) {
        delete info;
    }
}

}  // namespace kesh
