#include "tools/artlib/mesh_writer.h"

#include <string>

namespace artlib {

namespace {

using namespace maya_common::data;

class MeshWriter {
public:
    MeshWriter(StreamWriter& out, const MeshWriteOptions& options) : out_(out), options_(options) {}

    void mesh(const tri_mesh& value) {
        version(options_.triMesh, "maya_common::data::tri_mesh");
        out_.writeU32(options_.triMeshTag);
        vector(value.positions, [](StreamWriter& out, const vector3& v) { point(out, v); });
        vector(value.normals, [](StreamWriter& out, const vector3& v) { point(out, v); });
        vector(value.uv_sets, [this](StreamWriter&, const uv_set& set) { uvSet(set); });
        materials(value.materials);
        vector(value.position_tris, triangle);
        vector(value.normal_tris, triangle);
        vector(value.uv_tris, [this](StreamWriter&, const std::vector<tri_index>& tris) {
            vector(tris, triangle);
        });
        vector(value.face_materials,
               [](StreamWriter& out, const int& index) { out.writeI32(index); });
        if (options_.triMesh >= 1) {
            vector(value.bboxes, [this](StreamWriter& out, const bbox& box) {
                version(0, "maya_common::data::bbox");
                for (float f : {box.minX, box.minY, box.minZ, box.maxX, box.maxY, box.maxZ}) {
                    out.writeFloat(f);
                }
            });
        }
    }

private:
    static void point(StreamWriter& out, const vector3& v) {
        out.writeFloat(v.x);
        out.writeFloat(v.y);
        out.writeFloat(v.z);
    }

    static void triangle(StreamWriter& out, const tri_index& t) {
        out.writeU32(t.a);
        out.writeU32(t.b);
        out.writeU32(t.c);
    }

    void version(std::uint32_t number, const char* className) {
        out_.writeVersion(number, options_.classNames ? className : "");
    }

    template <class T, class WriteElement>
    void vector(const std::vector<T>& values, WriteElement writeElement) {
        out_.writeVector(values, writeElement, options_.classNames ? "std::vector" : "");
    }

    void uvSet(const uv_set& set) {
        version(0, "maya_common::data::uv_set");
        out_.writeU32(options_.uvSetTag);
        out_.writeString(set.name);
        out_.writeU32(set.dim);
        vector(set.values, [](StreamWriter& out, const float& f) { out.writeFloat(f); });
    }

    void materials(const material_list& list) {
        version(0, "maya_common::data::material_list");
        out_.writeU32(options_.materialListTag);
        vector(list.materials, [this](StreamWriter& out, const material& m) {
            version(0, "maya_common::data::material");
            out.writeString(m.name);
        });
    }

    StreamWriter& out_;
    const MeshWriteOptions& options_;
};

}  // namespace

void writeTriMesh(StreamWriter& out, const tri_mesh& mesh, const MeshWriteOptions& options) {
    MeshWriter(out, options).mesh(mesh);
}

std::vector<std::uint8_t> meshFileBytes(const tri_mesh& mesh, const MeshWriteOptions& options) {
    StreamWriter out;
    out.writeHeader();
    writeTriMesh(out, mesh, options);
    return out.bytes();
}

}  // namespace artlib
