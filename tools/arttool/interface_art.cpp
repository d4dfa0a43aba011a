#include "tools/arttool/interface_art.h"

#include <d3dx9math.h>

#include <cmath>
#include <string>

#include "tools/artlib/level_writer.h"
#include "tools/artlib/mesh_writer.h"
#include "tools/arttool/mesh_builder.h"
#include "tools/arttool/textures.h"

namespace arttool {

namespace {

constexpr float pi = 3.14159265f;
// Every instrument faces the eye, which looks along +z.
const Vec3 towardsEye{0, 0, -1};
const std::array<Uv, 4> noLightmap{Uv{}, Uv{}, Uv{}, Uv{}};

// A flat rectangle in the z = 0 plane showing the whole texture (v downwards).
void flatQuad(MeshBuilder& mesh, float x0, float y0, float x1, float y1, int material) {
    mesh.quad({Vec3{x0, y1, 0}, Vec3{x1, y1, 0}, Vec3{x1, y0, 0}, Vec3{x0, y0, 0}}, towardsEye,
              {Uv{0, 0}, Uv{1, 0}, Uv{1, 1}, Uv{0, 1}}, noLightmap, material);
}

void save(const ArtOutput& out, const std::string& name, MeshBuilder& mesh) {
    const auto box = mesh.bounds();
    out.write("mesh/" + name + ".wfm", artlib::meshFileBytes(mesh.finish({box})));
}

// The cockpit's dashboard, 16 x 4 units: radar at x -3, signal bar at -1.125, speedometer
// at 7 (the panel texture's layout at 32 pixels a unit).
constexpr float panelLeft = -6.0f;
constexpr float cockpitRadarX = -3.0f;
constexpr float cockpitBarX = -1.125f;
constexpr float cockpitGaugeX = 7.0f;

// The outside view's instruments in the corners of the screen (0.2857 units a local unit at
// 3 units in front of the eye).
constexpr float outsideRadarX = -5.5f;
constexpr float outsideGaugeX = 5.5f;
constexpr float outsideY = -3.9f;
constexpr float outsideBarX = -3.9f;

void makeMeshes(const ArtOutput& out) {
    MeshBuilder panel;
    flatQuad(panel, panelLeft, -2.0f, panelLeft + 16.0f, 2.0f, panel.material(tex::panel));
    save(out, "panel", panel);

    // The steering wheel: a rim of 24 segments and three spokes, turning about its hub.
    MeshBuilder wheel;
    const int leather = wheel.material(tex::steering);
    const int segments = 24;
    const float outer = 2.2f, inner = 1.85f;
    for (int i = 0; i < segments; ++i) {
        const float a0 = 2.0f * pi * i / segments, a1 = 2.0f * pi * (i + 1) / segments;
        wheel.quad({Vec3{std::cos(a0) * outer, std::sin(a0) * outer, 0},
                    Vec3{std::cos(a1) * outer, std::sin(a1) * outer, 0},
                    Vec3{std::cos(a1) * inner, std::sin(a1) * inner, 0},
                    Vec3{std::cos(a0) * inner, std::sin(a0) * inner, 0}},
                   towardsEye, {Uv{0, 0}, Uv{1, 0}, Uv{1, 1}, Uv{0, 1}}, noLightmap, leather);
    }
    for (const float a : {0.0f, pi, pi * 1.5f}) {
        const float c = std::cos(a), s = std::sin(a), w = 0.18f;
        wheel.quad({Vec3{-s * w, c * w, 0.01f}, Vec3{c * inner - s * w, s * inner + c * w, 0.01f},
                    Vec3{c * inner + s * w, s * inner - c * w, 0.01f}, Vec3{s * w, -c * w, 0.01f}},
                   towardsEye, {Uv{0, 0}, Uv{1, 0}, Uv{1, 1}, Uv{0, 1}}, noLightmap, leather);
    }
    wheel.box({-0.45f, -0.45f, -0.05f}, {0.45f, 0.45f, 0.05f}, leather, {1, 1});
    save(out, "wheel", wheel);

    // The needle points straight up at rest: that is the angle of the value 80.
    MeshBuilder arrow;
    const int orange = arrow.material(tex::needle);
    arrow.triangle({Vec3{-0.07f, -0.15f, 0}, Vec3{0.07f, -0.15f, 0}, Vec3{0, 1.0f, 0}}, towardsEye,
                   {Uv{0, 1}, Uv{1, 1}, Uv{0.5f, 0}}, orange);
    save(out, "arrow", arrow);

    MeshBuilder direction;
    const int mark = direction.material(tex::needle);
    direction.quad({Vec3{0, 0.22f, 0}, Vec3{0.16f, 0, 0}, Vec3{0, -0.22f, 0}, Vec3{-0.16f, 0, 0}},
                   towardsEye, {Uv{0.5f, 0}, Uv{1, 0.5f}, Uv{0.5f, 1}, Uv{0, 0.5f}}, noLightmap,
                   mark);
    save(out, "direction_indicator", direction);

    MeshBuilder distance;
    flatQuad(distance, -0.15f, -0.06f, 0.15f, 0.06f, distance.material(tex::signal));
    save(out, "distance_indicator", distance);

    MeshBuilder radar;
    flatQuad(radar, -1.3f, -1.3f, 1.3f, 1.3f, radar.material(tex::radar));
    save(out, "onScreen_radar", radar);

    MeshBuilder speed;
    flatQuad(speed, -1.3f, -1.3f, 1.3f, 1.3f, speed.material(tex::gauge));
    save(out, "onScreen_speed", speed);
}

D3DXMATRIX placed(float x, float y, float z, float scale = 1.0f) {
    D3DXMATRIX s, t, m;
    D3DXMatrixScaling(&s, scale, scale, scale);
    D3DXMatrixTranslation(&t, x, y, z);
    D3DXMatrixMultiply(&m, &s, &t);
    return m;
}

void addPart(kesh::data::LevelData& level, const std::string& mesh, const D3DXMATRIX& transform) {
    kesh::data::StaticObject part;
    part.id = static_cast<std::uint32_t>(level.statics.size() + 1);
    part.name = mesh;
    part.mesh = mesh;
    part.transform = transform;
    level.statics.push_back(part);
}

// locator1..36: the radar ring, 10 degrees apart, locator1 straight ahead (up) and the
// numbers growing anticlockwise, as the bearing does; locator37..52: the signal bar's
// cells from the bottom up. Translations only.
void addLocators(kesh::data::LevelData& level, float cx, float cy, float radius, float barX,
                 float barY, float barStep) {
    auto add = [&](int number, float x, float y) {
        kesh::data::EffectObject locator;
        locator.id = static_cast<std::uint32_t>(100 + number);
        locator.name = "locator" + std::to_string(number);
        locator.transform = placed(x, y, -0.05f);
        level.effects.push_back(locator);
    };
    for (int k = 1; k <= 36; ++k) {
        const float a = (k - 1) * pi / 18.0f;
        add(k, cx - std::sin(a) * radius, cy + std::cos(a) * radius);
    }
    for (int k = 37; k <= 52; ++k) {
        add(k, barX, barY + (k - 37) * barStep);
    }
}

}  // namespace

void makeInterfaceArt(const ArtOutput& out) {
    makeMeshes(out);

    kesh::data::LevelData cockpit;
    cockpit.name = "interior";
    addPart(cockpit, "panel", placed(0, 0, 0));
    addPart(cockpit, "wheel", placed(2.2f, -0.6f, -2.0f));
    addPart(cockpit, "arrow", placed(cockpitGaugeX, 0, -0.05f, 1.3f));
    addPart(cockpit, "direction_indicator", placed(0, 0, 0));
    addPart(cockpit, "distance_indicator", placed(0, 0, 0));
    addLocators(cockpit, cockpitRadarX, 0.0f, 1.15f, cockpitBarX, -1.5f, 0.2f);
    out.write("levels/interior.slev", artlib::levelFileBytes(cockpit));

    kesh::data::LevelData outside;
    outside.name = "OnScreenInterface";
    addPart(outside, "onScreen_radar", placed(outsideRadarX, outsideY, 0));
    addPart(outside, "onScreen_speed", placed(outsideGaugeX, outsideY, 0));
    addPart(outside, "arrow", placed(outsideGaugeX, outsideY, -0.05f));
    addPart(outside, "direction_indicator", placed(0, 0, 0));
    addPart(outside, "distance_indicator", placed(0, 0, 0));
    addLocators(outside, outsideRadarX, outsideY, 1.0f, outsideBarX, outsideY - 1.2f, 0.16f);
    out.write("levels/OnScreenInterface.slev", artlib::levelFileBytes(outside));
}

}  // namespace arttool
