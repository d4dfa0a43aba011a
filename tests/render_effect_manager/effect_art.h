// Art for the effect tests: a one-quad ".wfm" mesh and a services fixture that starts a
// scene, captures the effect channels and reads the frame's draws.
#pragma once

#include <d3d9.h>

#include <deque>
#include <string>

#include "d3d9/seams.h"
#include "engine/core/strings.h"
#include "engine/render/mesh/mesh_records.h"
#include "tests/render_effect_manager/log_capture.h"
#include "tests/support/services_fixture.h"
#include "tools/artlib/mesh_writer.h"

namespace effect_testing {

// A unit quad in the x-y plane around the centre, one material.
inline std::vector<std::uint8_t> quadMeshFile(float cx, float cy, float cz) {
    maya_common::data::tri_mesh mesh;
    mesh.positions = {{cx - 0.5f, cy - 0.5f, cz},
                      {cx + 0.5f, cy - 0.5f, cz},
                      {cx + 0.5f, cy + 0.5f, cz},
                      {cx - 0.5f, cy + 0.5f, cz}};
    mesh.normals = {{0, 0, 1}};
    maya_common::data::uv_set uv;
    uv.dim = 2;
    uv.values = {0, 0};
    mesh.uv_sets = {uv};
    mesh.position_tris = {{0, 1, 2}, {0, 2, 3}};
    mesh.face_materials = {0, 0};
    mesh.materials.materials.push_back({"glow.tga"});
    return artlib::meshFileBytes(mesh);
}

class EffectServicesTest : public morvale_testing::ServicesTest {
protected:
    void SetUp() override {
        ServicesTest::SetUp();
        captureLog();
        writeArt("mesh/glow.wfm", quadMeshFile(0, 0, 0));
        device->BeginScene();
        d3d9::deviceRecord(device)->clear();
    }

    void TearDown() override {
        device->EndScene();
        ServicesTest::TearDown();
    }

    // The manager's directory argument, as the play stage builds it.
    std::wstring configFolder() const { return kesh::toWide(artRoot() + "config/"); }

    void readList(const std::string& list, const std::wstring& name = L"effect_config.cmd") {
        writeArt("config/" + kesh::toNarrow(name), list);
        kesh::theEffectManager->readEffectList(configFolder(), name);
    }

    // Renders one frame through the default camera and returns its statistics line.
    std::string renderFrame() {
        const std::size_t before = linesOf("screen").size();
        kesh::theEffectManager->render(camera, 0, 0xffffffffu);
        const std::vector<std::string> lines = linesOf("screen");
        return lines.size() > before ? lines.back() : "";
    }

    std::deque<d3d9::RecordedDraw>& draws() { return d3d9::deviceRecord(device)->draws; }

    kesh::CameraView camera;
};

// A matrix that places the effect at (x, y, z).
inline D3DXMATRIX placedAt(float x, float y, float z) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

}  // namespace effect_testing
