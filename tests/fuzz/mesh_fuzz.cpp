// ".wfm" mesh files, read and built into a Direct3D mesh on the null device, and a mesh that
// builds also into the ODE boxes of a solid static: the reader and the builder end in a mesh,
// a stream error or the builder's "Invalid mesh", the boxes in a shape or the refusal of a
// part box, nothing else; ODE never sees a box it aborts on.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

#include "engine/core/stream_error.h"
#include "engine/render/mesh/mesh_builder.h"
#include "game/world/statics/static_collision_mesh.h"
#include "tests/fuzz/support/fuzz_services.h"
#include "tests/fuzz/support/memory_bound.h"
#include "tests/support/memory_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::Services& services = fuzz_support::Services::instance();
    fuzz_support::MemoryBound bound(size);
    testing_support::MemorySource source(std::vector<std::uint8_t>(data, data + size));
    kesh::StreamReader reader(&source);
    try {
        std::unique_ptr<kesh::MeshInfo> mesh(kesh::readTriMesh(services.dx.get(), reader));
        StaticCollisionMesh collision(*mesh, "fuzz.wfm", kesh::identityTransform);
    } catch (const kesh::stream::error&) {
    } catch (const std::runtime_error&) {
    }
    return 0;
}
