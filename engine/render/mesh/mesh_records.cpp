#include "engine/render/mesh/mesh_records.h"

namespace maya_common {
namespace data {

void readElement(kesh::InputArchive& archive, vector3& value) {
    archive.reader->readU32(&value.x).readU32(&value.y).readU32(&value.z);
}

void readElement(kesh::InputArchive& archive, tri_index& value) {
    archive.reader->readU32(&value.a).readU32(&value.b).readU32(&value.c);
}

void readBody(kesh::InputArchive& archive, bbox& value, std::uint32_t /*version*/) {
    archive.reader->readU32(&value.minX).readU32(&value.minY).readU32(&value.minZ);
    archive.reader->readU32(&value.maxX).readU32(&value.maxY).readU32(&value.maxZ);
}

void readBody(kesh::InputArchive& archive, uv_set& value, std::uint32_t /*version*/) {
    std::uint32_t tag = 0;
    archive.reader->readU32(&tag);
    // The file stores the name before dim.
    archive.reader->readString(value.name);
    archive.reader->readU32(&value.dim);
    readVersioned(archive, value.values);
}

void readBody(kesh::InputArchive& archive, material& value, std::uint32_t /*version*/) {
    archive.reader->readString(value.name);
}

void readBody(kesh::InputArchive& archive, material_list& value, std::uint32_t /*version*/) {
    std::uint32_t tag = 0;
    archive.reader->readU32(&tag);
    readVersioned(archive, value.materials);
}

void readBody(kesh::InputArchive& archive, tri_mesh& value, std::uint32_t version) {
    std::uint32_t tag = 0;
    archive.reader->readU32(&tag);
    readVersioned(archive, value.positions);
    readVersioned(archive, value.normals);
    readVersioned(archive, value.uv_sets);
    readVersioned(archive, value.materials);
    readVersioned(archive, value.position_tris);
    readVersioned(archive, value.normal_tris);
    readVersioned(archive, value.uv_tris);
    readVersioned(archive, value.face_materials);
    if (version >= 1) {
        readVersioned(archive, value.bboxes);
    }
}

void readMeshFile(kesh::StreamReader& reader, tri_mesh& mesh) {
    kesh::serialization::readTopLevel(reader, mesh);
}

}  // namespace data
}  // namespace maya_common
