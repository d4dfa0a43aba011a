#include "game/vehicle/car/car.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "engine/core/lua/lua_config.h"
#include "engine/core/strings.h"
#include "engine/render/log_lines.h"
#include "engine/render/visual_effects/effect_manager.h"
#include "game/data/level_data.h"
#include "game/data/level_file.h"
#include "game/vehicle/car/ray_wheel.h"
#include "game/vehicle/physics/physics_space.h"
#include "game/vehicle/physics/physics_world.h"

namespace {

constexpr int kWheels = 4;
constexpr float kWheelbaseShare = 0.8f;
constexpr const char* kLampEffect = "car_light";

bool aboveZeroAndFinite(float v) {
    return v > 0.0f && std::isfinite(v);
}

// The sizes a body can be built from: a box or capsule with a side below zero or NaN makes
// ODE abort (an endless size turns to NaN once the car's parts are taken from it), and a mass
// of zero or less is refused by dBodySetMass.
void checkSizes(const car::params::SCar& p) {
    if (!aboveZeroAndFinite(p.width) || !aboveZeroAndFinite(p.length) ||
        !aboveZeroAndFinite(p.height)) {
        throw std::runtime_error("Car: width, length and height must be above 0 and finite");
    }
    const float r = p.height * 0.25f;
    if (p.width - r < 0.0f || p.length - 2.0f * r < 0.0f) {
        throw std::runtime_error("Car: the body is too high for its width or length");
    }
    if (!aboveZeroAndFinite(p.mass_ode)) {
        throw std::runtime_error("Car: mass_ode must be above 0 and finite");
    }
}

kesh::data::LevelData readObjectBundle(const std::wstring& path) {
    kesh::data::LevelData bundle;
    kesh::data::readLevelFileAt(path, bundle);
    return bundle;
}

const kesh::data::StaticObject* findObject(const kesh::data::LevelData& bundle,
                                           const std::string& name) {
    if (name.empty()) {
        return nullptr;
    }
    for (const kesh::data::StaticObject& object : bundle.statics) {
        if (object.name == name) {
            return &object;
        }
    }
    return nullptr;
}

std::unique_ptr<kesh::Mesh> meshOf(const kesh::data::StaticObject* object,
                                   const std::string& effect) {
    if (object == nullptr) {
        return nullptr;
    }
    auto mesh = std::make_unique<kesh::Mesh>(object->mesh, effect);
    mesh->world = object->transform;
    return mesh;
}

const car::params::SBaseParams& wheelMeshParams(const car::params::SCar& p, int i) {
    const car::params::SBaseParams* meshes[kWheels] = {p.wheel1, p.wheel2, p.wheel3, p.wheel4};
    return *meshes[i];
}

}  // namespace

CCar::CCar(PhysicsSpace* carSpace, kesh::Decaler* decalerUsed, AudioSystem* audioUsed,
           const std::wstring& artRoot, const std::wstring& script)
    : response(0.0f, 0.0f, 0.0f),
      groundSpace(nullptr),
      groundHeight(0.0f),
      yawMeasure(0.0f),
      lateralSum(0.0f),
      averageSlip(0.0f),
      slipSum(0.0f),
      attachment(1.0f),
      decaler(decalerUsed),
      audio(audioUsed) {
    if (carSpace == nullptr) {
        throw std::runtime_error("Car: no space to build in");
    }
    setFeedback(true);
    setSpace(carSpace);
    kesh::writeLine(boost::log::logDebug(), "CCar::CCar applyConfig");
    applyConfig(artRoot, script);
    kesh::writeLine(boost::log::logDebug(), "CCar::applyConfig succeded");
    setTransform(kesh::identityTransform);
    dBodySetLinearVel(body, 0.0, 0.0, 0.0);
    dBodySetAngularVel(body, 0.0, 0.0, 0.0);
    dBodyAddRelForceAtRelPos(body, 0.0, 0.0, 100.0, 0.0, 0.0, 0.0);
    for (kesh::effect::EffectHandle& lamp : lampEffects) {
        lamp = kesh::createEffect(kLampEffect);
    }
}

CCar::~CCar() = default;

void CCar::applyConfig(const std::wstring& artRoot, const std::wstring& script) {
    if (kesh::theLuaConfig == nullptr) {
        throw std::runtime_error("Car: no script host");
    }
    // Everything that can fail comes first, so that a failed configuration leaves the car
    // as it was.
    car::params::SCar configured = kesh::theLuaConfig->runFileAs<car::params::SCar>(script);
    checkSizes(configured);
    kesh::data::LevelData bundle;
    if (!configured.object_bundle.empty()) {
        bundle = readObjectBundle(artRoot + kesh::toWide(configured.object_bundle));
    }
    carParams = configured;

    // The wheels' rays must leave the old space before it goes: destroying a space destroys
    // the geoms still in it, and the wheels would destroy them a second time.
    for (const std::unique_ptr<CWheel>& w : wheels) {
        dynamic_cast<PhysicsObject&>(*w).destroyGeoms();
    }
    wheelSpace.reset();
    wheelSpace = std::make_unique<PhysicsSpace>(*space->world);
    destroyGeoms();
    setBody(nullptr);

    dBodyID created = dBodyCreate(space->world->id());
    setBody(created);
    dBodySetFiniteRotationMode(body, 1);
    buildShapes();

    if (!carParams.object_bundle.empty()) {
        bodyMesh = meshOf(findObject(bundle, carParams.object), carParams.effect);
        antennaMesh = meshOf(findObject(bundle, carParams.antena), carParams.effect);
    }
    makeWheels();
    configureWheels(bundle);
    setMasses();

    kesh::Transform start;
    start.position =
        D3DXVECTOR3(carParams.hack_delta_x, carParams.height * 0.5f + carParams.hack_delta_y,
                    carParams.hack_delta_z);
    place(start);
    tracks = std::make_unique<Tracks>(carParams.width, transform.position);
}

void CCar::buildShapes() {
    const float r = carParams.height * 0.25f;
    const float across = std::max(carParams.width - r, 0.0f);
    const float endOffset = 0.5f * (carParams.length - 2.0f * r);
    // Capsules lie along their local z; turned about y they lie across the car.
    kesh::Transform end;
    end.rotation = kesh::makeRotationQuaternion(D3DXVECTOR3(0.0f, 1.0f, 0.0f), D3DX_PI * 0.5f);
    for (float z : {endOffset, -endOffset}) {
        end.position = D3DXVECTOR3(0.0f, 0.0f, z);
        addTransformedGeom(ode_compat::createCCylinder(nullptr, r, across), end);
    }
    addGeom(
        dCreateBox(nullptr, carParams.width - r, carParams.height, carParams.length - 2.0f * r));
    for (dGeomID g : geoms) {
        dGeomSetBody(g, body);
    }
}

void CCar::makeWheels() {
    // Width across (x), the wheelbase along the car (z), the front pair ahead at +z.
    mounts.clear();
    for (int i = 0; i < kWheels; ++i) {
        mounts.emplace_back(
            (static_cast<float>(i % 2) - 0.5f) * carParams.width, 0.0f,
            (0.5f - static_cast<float>(i / 2)) * kWheelbaseShare * carParams.length);
    }
    if (wheels.empty()) {
        for (int i = 0; i < kWheels; ++i) {
            auto w = std::make_unique<CRayWheel>();
            if (groundSpace != nullptr) {
                w->setGround(groundSpace, groundHeight);
            }
            wheels.push_back(std::move(w));
        }
    }
    for (const std::unique_ptr<CWheel>& w : wheels) {
        dynamic_cast<PhysicsObject&>(*w).setSpace(wheelSpace.get());
    }
}

void CCar::configureWheels(const kesh::data::LevelData& bundle) {
    const float front = (std::clamp(carParams.mass_translate, -1.0f, 1.0f) + 1.0f) * 0.5f;
    for (int i = 0; i < kWheels; ++i) {
        const car::params::SCarWheelSetup& pair =
            i < 2 ? *carParams.front_wheels : *carParams.back_wheels;
        car::params::SBasicWheelSetup setup;
        setup.turn_freedom = pair.turn_freedom;
        setup.suspension_height = pair.suspension_height;
        setup.side_friction = carParams.side_friction;
        setup.front_friction = carParams.front_friction;
        setup.mass = (i < 2 ? front : 1.0f - front) * carParams.mass * 0.25f;

        D3DXMATRIX placement;
        D3DXMatrixIdentity(&placement);
        const std::string& name = wheelMeshParams(carParams, i).object;
        if (const kesh::data::StaticObject* object = findObject(bundle, name)) {
            setup.mesh.object = object->mesh;
            setup.mesh.effect = carParams.effect;
            placement = object->transform;
        } else if (!name.empty()) {
            kesh::writeLine(boost::log::logWarning(), "Car: wheel mesh ", name,
                            " is not in the object bundle");
        }
        wheels[static_cast<std::size_t>(i)]->configure(setup, placement);
    }
}

void CCar::setMasses() {
    // The summed record starts empty: a capsule of no mass adds nothing but ODE's complaint.
    dMass total;
    dMassSetZero(&total);
    const float front = (std::clamp(carParams.mass_translate, -1.0f, 1.0f) + 1.0f) * 0.25f;
    for (std::size_t j = 0; j < mounts.size(); ++j) {
        const float share = j < 2 ? front : 0.5f - front;
        if (share <= 0.0f) {
            continue;
        }
        dMass sphere;
        dMassSetZero(&sphere);
        dMassSetSphereTotal(&sphere, share * carParams.mass_ode, carParams.width * 0.5f);
        dMassTranslate(&sphere, mounts[j].x, mounts[j].y, mounts[j].z);
        dMassAdd(&total, &sphere);
    }
    // ODE takes a mass only with its centre at the body's origin.
    dMassTranslate(&total, -total.c[0], -total.c[1], -total.c[2]);
    mass = total;
    dBodySetMass(body, &mass);
}

void CCar::place(const kesh::Transform& t) {
    dBodySetPosition(body, t.position.x, t.position.y, t.position.z);
    setTransform(t);
    transform = t;
}

void CCar::setGround(PhysicsSpace* ground, float height) {
    groundSpace = ground;
    groundHeight = height;
    for (const std::unique_ptr<CWheel>& w : wheels) {
        w->setGround(ground, height);
    }
}

bool CCar::isStable() const {
    return std::fabs(transform.rotation.x) < 0.1f && std::fabs(transform.rotation.z) < 0.1f;
}

void CCar::velocity(D3DXVECTOR3& out) const {
    dVector3 v;
    dBodyGetRelPointVel(body, 0.0, 0.0, 0.0, v);
    out = D3DXVECTOR3(static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2]));
}

void CCar::orientation(D3DXVECTOR3& out) const {
    const dReal* q = dBodyGetQuaternion(body);
    const D3DXQUATERNION rotation(static_cast<float>(q[1]), static_cast<float>(q[2]),
                                  static_cast<float>(q[3]), static_cast<float>(q[0]));
    kesh::rotateByQuaternion(&out, D3DXVECTOR3(0.0f, 0.0f, 1.0f), rotation);
}

void CCar::position(D3DXVECTOR3& out) const {
    const dReal* p = dBodyGetPosition(body);
    out = D3DXVECTOR3(static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2]));
}

std::int32_t CCar::wheelCount() const {
    return static_cast<std::int32_t>(wheels.size());
}

void CCar::setAttachment(float a) {
    attachment = a > 0.0f ? std::min(a, 1.0f) : 0.0f;
}

bool CCar::isSkidding() const {
    return std::fabs(lateralSum) > 17.0f || averageSlip > 6.0f;
}

void CCar::applyDebugForce(std::int32_t mode) {
    const dReal w = carParams.width;
    const dReal l = carParams.length;
    switch (mode) {
        case 1:
            dBodyAddRelForceAtRelPos(body, 0.0, 250.0, 0.0, 0.0, 0.0, 0.0);
            break;
        case 2:
            dBodyAddRelForceAtRelPos(body, 0.0, 500.0, 0.0, 0.0, 0.0, 0.0);
            break;
        case 3:
            dBodyAddRelForceAtRelPos(body, 0.0, 250.0, -500.0, 0.0, 0.0, 0.4 * l);
            break;
        case 4:
            dBodyAddRelForceAtRelPos(body, 0.0, 250.0, -500.0, 0.4 * w, 0.0, 0.4 * l);
            break;
        default:
            break;
    }
}
