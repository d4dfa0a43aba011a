#include "engine/render/mesh/mesh_loaders.h"

#include <d3dx9shape.h>

#include <memory>

#include "engine/core/log.h"
#include "engine/core/stream_source.h"
#include "engine/core/strings.h"
#include "engine/render/log_lines.h"
#include "engine/render/mesh/mesh_builder.h"

namespace kesh {

MeshCache* theMeshCache = nullptr;
MeshInfoCache* theMeshInfoCache = nullptr;

MeshLoader::MeshLoader(DxDevice* device, const std::string& directory)
    : directory(directory), device(device) {}

ID3DXMesh* MeshLoader::defaultMesh() {
    if (!fallback &&
        FAILED(D3DXCreateBox(device->getDevice(), 1.0f, 4.0f, 1.0f, fallback.out(), nullptr))) {
        fallback.reset();
        return nullptr;
    }
    // The caller's reference, beside the one the loader keeps.
    return win32::addRef(fallback.get()).release();
}

ID3DXMesh* MeshLoader::load(const ResourceId& id) {
    const std::string path = directory + id.id;
    // Materials of ".x" files are not used: a Mesh names its texture itself.
    win32::ComPtr<ID3DXBuffer> adjacency, materials, effects;
    DWORD materialCount = 0;
    win32::ComPtr<ID3DXMesh> mesh;
    const HRESULT loaded =
        D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_MANAGED, device->getDevice(), adjacency.out(),
                           materials.out(), effects.out(), &materialCount, mesh.out());
    if (FAILED(loaded) || !mesh) {
        writeLine(boost::log::logResource(), "Failed to load mesh ", path);
        return defaultMesh();
    }
    const DWORD* adjacencyData =
        adjacency ? static_cast<const DWORD*>(adjacency->GetBufferPointer()) : nullptr;
    if (FAILED(mesh->OptimizeInplace(D3DXMESHOPT_VERTEXCACHE, adjacencyData, nullptr, nullptr,
                                     nullptr))) {
        writeLine(boost::log::logResource(), "Failed to optimize mesh");
        return defaultMesh();
    }
    return mesh.release();
}

void MeshLoader::release(ID3DXMesh*& mesh) {
    // Adopting the cache's reference gives it back.
    const win32::ComPtr<ID3DXMesh> given(mesh);
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
