#include "tools/arttool/car_art.h"

#include <d3dx9math.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "tools/artlib/level_writer.h"
#include "tools/artlib/mesh_writer.h"
#include "tools/arttool/mesh_builder.h"
#include "tools/arttool/textures.h"

namespace arttool {

namespace {

constexpr float pi = 3.14159265f;

// The body's box is exactly the car's size in car.lua (2.0 x 1.6 x 4.4): the car scales its
// body mesh by size / box.
constexpr float halfWidth = 1.0f;
constexpr float halfHeight = 0.8f;
constexpr float halfLength = 2.2f;
// Mount points sit at the body's centre height, which rides 1.1 above the ground (car.lua's
// suspension height less one step's fall under gravity).
constexpr float rideHeight = 1.1f;
constexpr float wheelRadius = 0.45f;
constexpr float wheelWidth = 0.35f;

void saveMesh(const ArtOutput& out, const std::string& name, MeshBuilder& mesh) {
    const auto box = mesh.bounds();
    out.write("mesh/" + name + ".wfm", artlib::meshFileBytes(mesh.finish({box})));
}

UvRect paint(float u0, float v0, float u1, float v1) {
    return {u0 / 256.0f, v0 / 256.0f, u1 / 256.0f, v1 / 256.0f};
}

MeshBuilder jeepBody() {
    MeshBuilder mesh;
    const int m = mesh.material(tex::jeep);
    const UvRect flank = paint(0, 20, 256, 110);
    const UvRect roof = paint(10, 4, 120, 40);
    const UvRect glass = paint(8, 136, 120, 248);
    const UvRect grille = paint(136, 150, 248, 220);
    const UvRect tail = paint(136, 222, 248, 252);
    const UvRect dark = paint(130, 130, 134, 134);
    // Hull: flanks and bonnet in paint, the grille and lamps in front, tail lamps behind.
    mesh.mappedBox({-halfWidth, -0.55f, -halfLength}, {halfWidth, 0.15f, halfLength}, m,
                   {flank, flank, grille, tail, roof, dark});
    // Cabin, glass all round, painted roof.
    mesh.mappedBox({-0.9f, 0.15f, -1.9f}, {0.9f, halfHeight, 0.4f}, m,
                   {glass, glass, glass, glass, roof, dark});
    // Bumpers reach down to the box's floor.
    mesh.mappedBox({-0.95f, -halfHeight, halfLength - 0.25f}, {0.95f, -0.5f, halfLength}, m,
                   {dark, dark, dark, dark, dark, dark});
    mesh.mappedBox({-0.95f, -halfHeight, -halfLength}, {0.95f, -0.5f, -halfLength + 0.25f}, m,
                   {dark, dark, dark, dark, dark, dark});
    return mesh;
}

// A cylinder along x, centred at the origin: tread round it, hubs on both ends.
MeshBuilder jeepWheel() {
    MeshBuilder mesh;
    const int m = mesh.material(tex::tyre);
    const int segments = 16;
    const float hx = wheelWidth * 0.5f;
    for (int i = 0; i < segments; ++i) {
        const float a0 = 2.0f * pi * i / segments;
        const float a1 = 2.0f * pi * (i + 1) / segments;
        const Vec3 p0{0, std::sin(a0) * wheelRadius, std::cos(a0) * wheelRadius};
        const Vec3 p1{0, std::sin(a1) * wheelRadius, std::cos(a1) * wheelRadius};
        const float am = (a0 + a1) * 0.5f;
        const Vec3 n{0, std::sin(am), std::cos(am)};
        const float u0 = 0.5f * i / segments, u1 = 0.5f * (i + 1) / segments;
        mesh.quad({Vec3{-hx, p0.y, p0.z}, Vec3{hx, p0.y, p0.z}, Vec3{hx, p1.y, p1.z},
                   Vec3{-hx, p1.y, p1.z}},
                  n, {Uv{u0, 0}, Uv{u0, 1}, Uv{u1, 1}, Uv{u1, 0}}, {Uv{}, Uv{}, Uv{}, Uv{}}, m);
        for (const float side : {-1.0f, 1.0f}) {
            auto hub = [&](float a) {
                return Uv{0.75f + 0.24f * std::cos(a), 0.5f - 0.48f * std::sin(a)};
            };
            mesh.triangle(
                {Vec3{side * hx, 0, 0}, Vec3{side * hx, p0.y, p0.z}, Vec3{side * hx, p1.y, p1.z}},
                {side, 0, 0}, {Uv{0.75f, 0.5f}, hub(a0), hub(a1)}, m);
        }
    }
    return mesh;
}

MeshBuilder antenna() {
    MeshBuilder mesh;
    const int m = mesh.material(tex::lampPost);
    mesh.box({-0.02f, 0.0f, -0.02f}, {0.02f, 1.2f, 0.02f}, m, {1, 1});
    return mesh;
}

// The goal: a chequered diamond over a post, drawn twice its size.
MeshBuilder marker() {
    MeshBuilder mesh;
    const int m = mesh.material(tex::marker);
    mesh.box({-0.08f, -0.6f, -0.08f}, {0.08f, 2.0f, 0.08f}, m, {0.5f, 0.5f});
    const Vec3 top{0, 4.2f, 0}, bottom{0, 2.0f, 0};
    const Vec3 ring[4] = {{1.1f, 3.1f, 0}, {0, 3.1f, 1.1f}, {-1.1f, 3.1f, 0}, {0, 3.1f, -1.1f}};
    for (int i = 0; i < 4; ++i) {
        const Vec3 a = ring[i], b = ring[(i + 1) % 4];
        const Vec3 mid = (a + b) * 0.5f;
        mesh.triangle({top, a, b}, {mid.x, 0.7f, mid.z}, {Uv{0.5f, 0}, Uv{0, 1}, Uv{1, 1}}, m);
        mesh.triangle({bottom, a, b}, {mid.x, -0.7f, mid.z}, {Uv{0.5f, 1}, Uv{0, 0}, Uv{1, 0}}, m);
    }
    return mesh;
}

// A lamp post whose origin is the lamp: the effect's halo sits there.
MeshBuilder lampPost() {
    MeshBuilder mesh;
    const int m = mesh.material(tex::lampPost);
    mesh.box({-0.12f, -6.0f, -0.12f}, {0.12f, -0.2f, 0.12f}, m, {1, 1});
    mesh.box({-0.35f, -0.35f, -0.35f}, {0.35f, 0.05f, 0.35f}, m, {1, 1});
    return mesh;
}

MeshBuilder beaconRing() {
    MeshBuilder mesh;
    const int m = mesh.material("effects/beacon_ring");
    const int segments = 24;
    for (int i = 0; i < segments; ++i) {
        const float a0 = 2.0f * pi * i / segments, a1 = 2.0f * pi * (i + 1) / segments;
        const float am = (a0 + a1) * 0.5f;
        const float r = 2.0f;
        mesh.quad({Vec3{std::cos(a0) * r, 0.4f, std::sin(a0) * r},
                   Vec3{std::cos(a1) * r, 0.4f, std::sin(a1) * r},
                   Vec3{std::cos(a1) * r, -0.4f, std::sin(a1) * r},
                   Vec3{std::cos(a0) * r, -0.4f, std::sin(a0) * r}},
                  {std::cos(am), 0, std::sin(am)},
                  {Uv{2.0f * i / segments, 0}, Uv{2.0f * (i + 1) / segments, 0},
                   Uv{2.0f * (i + 1) / segments, 1}, Uv{2.0f * i / segments, 1}},
                  {Uv{}, Uv{}, Uv{}, Uv{}}, m);
    }
    return mesh;
}

D3DXMATRIX translation(float x, float y, float z) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

kesh::data::StaticObject part(std::uint32_t id, const std::string& name, const std::string& mesh,
                              const D3DXMATRIX& transform) {
    kesh::data::StaticObject object;
    object.id = id;
    object.name = name;
    object.mesh = mesh;
    object.transform = transform;
    return object;
}

// The globe's radius: the play stage draws it round the eye, so it must lie beyond every
// camera's near plane (at most 1) and inside the far plane (150), corners of the view included.
constexpr float kGlobeRadius = 100.0f;

// How far below the horizon the globe reaches. The town's ground covers the eye's view below
// it, so a whole sphere would only shade a second full screen of sky under the ground.
constexpr float kGlobeSkirt = pi * 20.0f / 180.0f;

// Text ".x": the sky globe, its texture wrapped once round, seen from inside: a dome from the
// zenith to a skirt below the horizon, mapped as the whole sphere would be.
std::string sphereX() {
    const int rings = 12, segments = 32;
    const float lowest = pi / 2 + kGlobeSkirt;
    std::string vertices, normals, uvs, faces;
    int vertexCount = 0, faceCount = 0;
    char line[128];
    for (int r = 0; r <= rings; ++r) {
        const float lat = lowest * r / rings;  // from the north pole down
        for (int s = 0; s <= segments; ++s) {
            const float lon = 2.0f * pi * s / segments;
            const float x = std::sin(lat) * std::cos(lon), y = std::cos(lat),
                        z = std::sin(lat) * std::sin(lon);
            std::snprintf(line, sizeof line, "%s%.6f;%.6f;%.6f;", vertexCount ? ",\n" : "", x, y,
                          z);
            normals += line;
            std::snprintf(line, sizeof line, "%s%.3f;%.3f;%.3f;", vertexCount ? ",\n" : "",
                          x * kGlobeRadius, y * kGlobeRadius, z * kGlobeRadius);
            vertices += line;
            std::snprintf(line, sizeof line, "%s%.6f;%.6f;", vertexCount ? ",\n" : "",
                          1.0f - static_cast<float>(s) / segments, lat / pi);
            uvs += line;
            ++vertexCount;
        }
    }
    for (int r = 0; r < rings; ++r) {
        for (int s = 0; s < segments; ++s) {
            const int a = r * (segments + 1) + s, b = a + 1, c = a + segments + 1, d = c + 1;
            std::snprintf(line, sizeof line, "%s3;%d,%d,%d;,\n3;%d,%d,%d;", faceCount ? ",\n" : "",
                          a, b, d, a, d, c);
            faces += line;
            faceCount += 2;
        }
    }
    const std::string count = std::to_string(vertexCount);
    const std::string faceTotal = std::to_string(faceCount);
    return "xof 0303txt 0032\n\nMesh sphere {\n" + count + ";\n" + vertices + ";\n" + faceTotal +
           ";\n" + faces + ";\n\nMeshNormals {\n" + count + ";\n" + normals + ";\n" + faceTotal +
           ";\n" + faces + ";\n}\n\nMeshTextureCoords {\n" + count + ";\n" + uvs + ";\n}\n}\n";
}

}  // namespace

void makeCarArt(const ArtOutput& out) {
    MeshBuilder body = jeepBody();
    saveMesh(out, car_objects::body, body);
    MeshBuilder wheel = jeepWheel();
    saveMesh(out, "jeep_wheel", wheel);
    MeshBuilder aerial = antenna();
    saveMesh(out, car_objects::antenna, aerial);
    MeshBuilder goal = marker();
    saveMesh(out, "mercedes", goal);
    MeshBuilder lamp = lampPost();
    saveMesh(out, "lamp_post", lamp);
    MeshBuilder ring = beaconRing();
    saveMesh(out, "beacon_ring", ring);
    out.write("mesh/sphere.x", sphereX());

    // The bundle: each wheel's matrix puts the wheel mesh at its mount point (the mount rule
    // of the car: x = +-width/2, z = +-0.4 length), lowered to touch the ground.
    kesh::data::LevelData bundle;
    bundle.name = "car";
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    bundle.statics.push_back(part(1, car_objects::body, car_objects::body, identity));
    bundle.statics.push_back(
        part(2, car_objects::antenna, car_objects::antenna, translation(0.75f, halfHeight, -1.7f)));
    const float wheelY = wheelRadius - rideHeight;
    for (int i = 0; i < 4; ++i) {
        const float x = (i % 2 - 0.5f) * 2.0f * halfWidth;
        const float z = (0.5f - i / 2) * 0.8f * 2.0f * halfLength;
        bundle.statics.push_back(
            part(3 + i, car_objects::wheels[i], "jeep_wheel", translation(x, wheelY, z)));
    }
    out.write("levels/car.slev", artlib::levelFileBytes(bundle));
}

}  // namespace arttool
