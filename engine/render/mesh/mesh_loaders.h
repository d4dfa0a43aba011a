// The resource loaders of the two mesh caches: ".x" files through D3DX, with a box standing
// in for any file that cannot be loaded, and ".wfm" files built into a MeshInfo, null for
// any file that cannot be read.
#pragma once

#include <d3dx9mesh.h>

#include <string>

#include "engine/core/resource.h"
#include "engine/render/device/dx_device.h"
#include "engine/render/mesh/mesh_info.h"
#include "win32/com_ptr.h"

namespace kesh {

class MeshLoader : public ResourceLoader<ID3DXMesh> {
public:
    MeshLoader(DxDevice* device, const std::string& directory);
    MeshLoader(const MeshLoader&) = delete;
    MeshLoader& operator=(const MeshLoader&) = delete;

    // A mesh with one reference for the caller, optimised for the vertex cache; the
    // 1 x 4 x 1 box when the file cannot be loaded or optimised (null only when even the
    // box cannot be made).
    ID3DXMesh* load(const ResourceId& id) override;
    // Releases one reference.
    void release(ID3DXMesh*& mesh) override;

private:
    ID3DXMesh* defaultMesh();

    std::string directory;
    DxDevice* device;
    win32::ComPtr<ID3DXMesh> fallback;
};

class MeshInfoLoader : public ResourceLoader<MeshInfo> {
public:
    MeshInfoLoader(DxDevice* device, const std::string& directory);

    // A new MeshInfo, or null when the file cannot be read (stream errors are logged).
    // The builder's other errors ("Invalid mesh", device failures) pass through.
    MeshInfo* load(const ResourceId& id) override;
    void release(MeshInfo*& info) override;

private:
    std::string directory;
    DxDevice* device;
    MeshInfo* fallback = nullptr;  // never set: a failed load yields null
};

typedef ResourceCache<ID3DXMesh> MeshCache;
typedef ResourceCache<MeshInfo> MeshInfoCache;

// The process-wide mesh caches (".x" and ".wfm"), published by the game object; null
// outside its lifetime.
extern MeshCache* theMeshCache;
extern MeshInfoCache* theMeshInfoCache;

}  // namespace kesh
