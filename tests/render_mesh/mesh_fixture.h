// A null device wrapped in a DxDevice, mesh records to build from, and a capture of the
// "resource" log.
#pragma once

#include <gtest/gtest.h>

#include <d3d9/records.h>
#include <d3d9/seams.h>
#include <d3dx9.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/render/device/dx_device.h"
#include "engine/render/mesh/mesh_records.h"
#include "tests/support/box_records.h"
#include "tests/support/log_capture.h"
#include "tests/support/services_fixture.h"

namespace mesh_testing {

using maya_common::data::tri_mesh;

inline void captureResourceLog() {
    morvale_testing::captureLog({"resource"});
}

// A cube from (0,0,0) to (1,1,1): eight positions, one normal per side, four uv entries
// shared by every side, two triangles per side.
inline tri_mesh cubeRecords() {
    return morvale_testing::boxRecords({0, 0, 0}, {1, 1, 1});
}

// One triangle per entry of materials, each over its own three positions.
inline tri_mesh stripRecords(const std::vector<int>& materials, std::size_t materialCount) {
    tri_mesh mesh;
    maya_common::data::uv_set uv;
    uv.dim = 2;
    uv.values = {0, 0};
    mesh.uv_sets = {uv};
    mesh.normals = {{0, 1, 0}};
    for (std::size_t t = 0; t < materials.size(); ++t) {
        const auto first = static_cast<std::uint32_t>(mesh.positions.size());
        for (int c = 0; c < 3; ++c) {
            mesh.positions.push_back({float(t), float(c), 0.0f});
        }
        mesh.position_tris.push_back({first, first + 1, first + 2});
    }
    mesh.face_materials = materials;
    for (std::size_t m = 0; m < materialCount; ++m) {
        mesh.materials.materials.push_back({"tex" + std::to_string(m) + ".tga"});
    }
    return mesh;
}

// A quad of two triangles in a DirectX text file, with one material.
inline std::string quadXFile() {
    return "xof 0303txt 0032\n\nMesh Quad {\n 4;\n"
           " 0.0;0.0;0.0;,\n 2.0;0.0;0.0;,\n 2.0;3.0;0.0;,\n 0.0;3.0;0.0;;\n"
           " 2;\n 3;0,2,1;,\n 3;0,3,2;;\n"
           " MeshMaterialList {\n  1;\n  2;\n  0,\n  0;\n"
           "  Material Stone {\n   1.0;1.0;1.0;1.0;;\n   0.0;\n   0.0;0.0;0.0;;\n"
           "   0.0;0.0;0.0;;\n   TextureFilename {\n    \"stone.dds\";\n   }\n  }\n }\n}\n";
}

// The shared fixture's null device without its services, a folder the tests write mesh
// files into, and the "resource" log captured.
class MeshDeviceTest : public morvale_testing::ServicesTest {
protected:
    MeshDeviceTest() { publishesServices = false; }

    void SetUp() override {
        ServicesTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        record = d3d9::deviceRecord(device);
        captureResourceLog();
    }

    bool logged(const std::string& text) const { return morvale_testing::logged("resource", text); }

    // Writes the file into directory() and returns its path.
    template <class Bytes>
    std::string write(const std::string& name, const Bytes& bytes) {
        writeArt(name, bytes);
        return directory() + name;
    }
    std::string directory() const { return artRoot(); }

    d3d9::DeviceRecord* record = nullptr;
};

}  // namespace mesh_testing
