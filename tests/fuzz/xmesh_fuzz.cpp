// ".x" meshes, loaded from a file and optimised for the vertex cache as the game's mesh loader
// loads them: the loader ends in a mesh or a failure code, nothing else.
#include <d3dx9mesh.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/fuzz/support/fuzz_services.h"
#include "tests/fuzz/support/memory_bound.h"
#include "win32/com_ptr.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::Services& services = fuzz_support::Services::instance();
    static const std::string path = services.artRoot() + "mesh/fuzz.x";
    services.writeArt("mesh/fuzz.x", std::vector<std::uint8_t>(data, data + size));
    fuzz_support::MemoryBound bound(size);
    win32::ComPtr<ID3DXBuffer> adjacency;
    win32::ComPtr<ID3DXBuffer> materials;
    win32::ComPtr<ID3DXBuffer> effects;
    DWORD materialCount = 0;
    win32::ComPtr<ID3DXMesh> mesh;
    if (FAILED(D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_MANAGED, services.device, adjacency.out(),
                                  materials.out(), effects.out(), &materialCount, mesh.out())) ||
        !mesh) {
        return 0;
    }
    const DWORD* adjacencyData =
        adjacency ? static_cast<const DWORD*>(adjacency->GetBufferPointer()) : nullptr;
    mesh->OptimizeInplace(D3DXMESHOPT_VERTEXCACHE, adjacencyData, nullptr, nullptr, nullptr);
    return 0;
}
