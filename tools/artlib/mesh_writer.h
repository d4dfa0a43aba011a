// Writes mesh files: the records of maya_common::data in the layout the mesh reader
// expects.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/render/mesh/mesh_records.h"
#include "tools/artlib/stream_writer.h"

namespace artlib {

// The version of the tri_mesh record (the others are all version 0), whether every record
// carries its class name, and the tag words.
struct MeshWriteOptions {
    std::uint32_t triMesh = 1;
    bool classNames = false;
    std::uint32_t triMeshTag = maya_common::data::triMeshTag;
    std::uint32_t materialListTag = maya_common::data::materialListTag;
    std::uint32_t uvSetTag = maya_common::data::uvSetTag;
};

void writeTriMesh(StreamWriter& out, const maya_common::data::tri_mesh& mesh,
                  const MeshWriteOptions& options = MeshWriteOptions());
// A whole mesh file: header and tri_mesh record.
std::vector<std::uint8_t> meshFileBytes(const maya_common::data::tri_mesh& mesh,
                                        const MeshWriteOptions& options = MeshWriteOptions());

}  // namespace artlib
