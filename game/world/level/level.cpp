#include "game/world/level/level.h"

#include <cmath>
#include <ostream>
#include <utility>

#include "engine/core/errors.h"
#include "engine/core/log.h"
#include "engine/core/lua/lua_config.h"
#include "engine/core/stream_error.h"
#include "engine/core/strings.h"
#include "engine/core/transform.h"
#include "engine/render/effect/effect_cache.h"
#include "engine/render/log_lines.h"
#include "engine/render/mesh/mesh_draw.h"
#include "engine/render/mesh/mesh_loaders.h"
#include "engine/render/quad/decaler.h"
#include "engine/render/visual_effects/effect_manager.h"
#include "game/data/level_file.h"
#include "game/data/placement.h"
#include "game/world/cameras/inside_camera.h"
#include "game/world/cameras/outside_camera.h"
#include "game/world/level/choose_start.h"
#include "game/world/statics/statics_loader.h"

namespace {

const char kStaticsEffect[] = "textured_mesh.fx";
const char kMarkerMesh[] = "mercedes.wfm";
const char kMarkerEffect[] = "car.fx";
const char kDecalEffect[] = "decal.fx";
// How far a lit window sits in front of its locator, along the locator's own z.
constexpr float kWindowOffset = 0.15f;

bool beginsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

Level::Level(kesh::DxDevice* device, const kesh::CameraView& camera, InputSystem* input,
             kesh::Decaler* decaler, AudioSystem* audio, const LevelParams& params)
    : params(params),
      levelName(kesh::toNarrow(params.levelFile)),
      device(device),
      cameraView(camera),
      accumulator(0.0),
      outsideCamera(true),
      lost(false),
      lastStableTime(0.0),
      audio(audio),
      decaler(decaler) {
    D3DXMatrixIdentity(&target);
    carSpace = std::make_unique<PhysicsSpace>(world);
    levelSpace = std::make_unique<PhysicsSpace>(world);
    loadPhysicsParams();
    statics = std::make_unique<StaticsSet>(device, kStaticsEffect, world);
    levelData = std::make_unique<kesh::data::LevelData>();
    loadLevelFile();
    groundPlane = std::make_unique<GroundPlane>(statics->groundHeight());
    groundPlane->setSpace(levelSpace.get());
    createCar(input, decaler);
}

Level::~Level() {
    camera.reset();
    controller.reset();
    for (std::unique_ptr<CVehicle>& object : sceneObjects) {
        object.reset();
    }
    groundPlane.reset();
    cellGrid.reset();
    levelData.reset();
    levelSpace.reset();
    carSpace.reset();
    statics.reset();
    timedDecals.clear();
    sceneObjects.clear();
}

void Level::loadPhysicsParams() {
    collisions = kesh::theLuaConfig->runFileAs<physics::params::SCollisions>(params.physicsScript);
}

void Level::loadLevelFile() {
    try {
        kesh::data::readLevelFileAt(params.root + params.levelFile, *levelData);
        // Drawn, boxed and mapped as the file places them; refused only where a matrix
        // places nothing, or would reach ODE and cannot be straightened for it.
        for (const kesh::data::StaticObject& object : levelData->statics) {
            const std::string what = "Level " + levelName + ": static \"" + object.name + "\"";
            kesh::data::requireFinitePlacement(object.transform, what);
            if ((object.flags & kesh::data::StaticObject::solidFlag) != 0) {
                kesh::data::checkedPlacement(object.transform, kesh::data::PlacementScale::Keep,
                                             what);
            }
        }
        StaticsLoader loader(levelData.get(), kesh::toNarrow(params.meshFolder),
                             kesh::toNarrow(params.lightmapPrefix),
                             kesh::toNarrow(params.lightmapFolder));
        loader.load(*statics);
        cellGrid =
            std::make_unique<LevelCellGrid>(kesh::theEffectManager, statics->bounds(), 16, 16);
        placeEffects();
    } catch (const kesh::stream::error& e) {
        readFailure = e.what();
        kesh::writeLine(boost::log::logDebug(), "Load terrain data failed: ", readFailure);
    }
    // Whatever was read of them: a start places the car's body in ODE. An end only marks
    // the target, which is drawn as the file places it.
    for (kesh::data::LocatorObject& locator : levelData->locators) {
        if (beginsWith(locator.tag, "start")) {
            kesh::data::checkedPlacement(
                locator.transform, kesh::data::PlacementScale::Drop,
                "Level " + levelName + ": locator \"" + locator.name + "\"")
                .toMatrix(&locator.transform);
        }
    }
}

void Level::placeEffects() {
    D3DXMATRIX forward;
    D3DXMatrixTranslation(&forward, 0.0f, 0.0f, kWindowOffset);
    for (const kesh::data::EffectObject& object : levelData->effects) {
        if (object.effect.empty()) {
            kesh::writeLine(boost::log::logWarning(), "Effect locator: ", object.name,
                            " has empty effect name");
            continue;
        }
        if ((object.flags & kesh::data::EffectObject::enabledFlag) == 0) {
            continue;
        }
        if (beginsWith(object.effect, "win")) {
            cellGrid->insertEffect(forward * object.transform, object.effect);
        } else {
            cellGrid->addEffect(object.transform, object.effect);
        }
    }
}

void Level::createCar(InputSystem* input, kesh::Decaler* decaler) {
    if (controller && controller->vehicle()) {
        CVehicle* old = controller->vehicle();
        camera.reset();
        controller->setVehicle(nullptr);
        for (auto it = sceneObjects.begin(); it != sceneObjects.end();) {
            it = it->get() == old ? sceneObjects.erase(it) : it + 1;
        }
    }
    controller.reset();

    CarParts parts = params.carMaker(*carSpace, decaler, audio, params.root);
    CVehicle* car = parts.vehicle.get();
    sceneObjects.push_back(std::move(parts.vehicle));
    kesh::writeLine(boost::log::logDebug(), "Car created");
    car->setGround(levelSpace.get(), groundPlane ? groundPlane->height : 0.0f);

    controller = std::move(parts.controller);
    controller->setVehicle(car);
    controller->setInput(input);
    controller->setParams(*car->params()->controller);
    kesh::writeLine(boost::log::logDebug(), "C4X4WheelJeepController created");

    const StartChoice choice = chooseStart(levelData->locators);
    car->place(kesh::Transform(choice.start));
    target = choice.end;
    startFound = choice.paired;
    switchCamera(false);
}

std::string Level::whyUnplayable() const {
    if (!readFailure.empty()) {
        return "Level " + levelName + " cannot be read: " + readFailure;
    }
    if (!startFound) {
        return "Level " + levelName + " has no start and end locators to pair";
    }
    return std::string();
}

void Level::switchCamera(bool inside) {
    outsideCamera = !inside;
    camera.reset();
    CVehicle* car = vehicle();
    if (inside) {
        auto driver = std::make_unique<InsideCamera>();
        if (car) {
            driver->setParams(*car->params()->camera_inside);
        }
        camera = std::move(driver);
    } else {
        auto chase = std::make_unique<OutsideCamera>();
        if (car) {
            chase->setParams(*car->params()->camera_outside);
        }
        if (statics) {
            chase->setStatics(statics.get());
        }
        camera = std::move(chase);
    }
    camera->setTarget(car);
    camera->setView(&cameraView);
    // Placed at once: the first frame of a run (or after a switch) may be drawn before any
    // step has run, and would otherwise look through an empty view at nothing.
    camera->update(0.0f);
    kesh::writeLine(boost::log::logDebug(), "Level::switchCamera: ok");
}

void Level::update(const FrameTime& t) {
    accumulator += t.delta;
    D3DXVECTOR3 impulse(0.0f, 0.0f, 0.0f);
    float attachment = 0.0f;
    int contacts = 0;
    CVehicle* car = vehicle();
    if (car) {
        car->responseVector() = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    }
    int steps = 0;
    while (kStep < accumulator && steps < kMaxSteps) {
        if (controller) {
            controller->step(kStep);
            if (car) {
                float last[3];
                car->getCollisionImpulse(last);
                impulse += D3DXVECTOR3(last[0], last[1], last[2]);
            }
            attachment += controller->attachment();
        }
        for (const std::unique_ptr<CVehicle>& object : sceneObjects) {
            object->update(kStep);
            if (statics) {
                world.collide(*object, statics->collisionSpace(), *collisions.car_to_buildings);
            }
            world.collide(*object, *levelSpace, *collisions.car_to_terrain);
        }
        contacts += world.collisionCount();
        world.step(kStep);
        if (camera) {
            camera->update(kStep);
        }
        accumulator -= kStep;
        ++steps;
    }
    // Time beyond ten steps is dropped: a slow frame slows the game rather than piling up.
    accumulator -= std::trunc(accumulator / kStep) * kStep;

    writeReadout(impulse, attachment, contacts, steps);

    if (!car) {
        return;
    }
    // On the run's clock, which runs on under the map and the pause menu as the time limit
    // does; its first ten seconds count as stable.
    if (car->isStable()) {
        lastStableTime = t.time;
    }
    if (t.time - lastStableTime > kMostUnstableTime) {
        lost = true;
    } else if (statics) {
        D3DXVECTOR3 position;
        car->position(position);
        if (!statics->bounds().contains(position)) {
            lost = true;
        }
    }
}

void Level::writeReadout(const D3DXVECTOR3& impulse, float attachment, int contacts, int steps) {
    if (!controller) {
        return;
    }
    boost::log::LogLine line(boost::log::logScreen());
    std::ostream* text = line.stream();
    if (!text) {
        return;
    }
    CVehicle* car = vehicle();
    const float g = controller->steering() * 10.0f;
    for (int k = -10; k < 10; ++k) {
        if (k == 0) {
            *text << '|';
        } else if (static_cast<float>(k) * g > 0.0f &&
                   std::fabs(static_cast<float>(k)) <= std::fabs(g)) {
            *text << ':';
        } else {
            *text << '.';
        }
    }
    const float perStep = steps > 0 ? 1.0f / static_cast<float>(steps) : 0.0f;
    const D3DXVECTOR3 response = car ? car->responseVector() : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    *text << "\nEngine power: " << static_cast<int>(controller->engineSpeed());
    *text << "\nFeedback x 1000: " << static_cast<int>(D3DXVec3Length(&impulse) * 1000.0f);
    *text << "\nResponce x 1000: " << static_cast<int>(D3DXVec3Length(&response) * 1000.0f);
    *text << "\nAttached perc.: " << static_cast<int>(attachment * perStep * 100.0f);
    *text << "\nAverage collisions: " << static_cast<float>(contacts) * perStep;
    *text << (car && car->isStable() ? "\n[stable]" : "\n[UNSTABLE]") << std::endl;
}

void Level::render(const kesh::CameraView& view, const FrameTime& t) {
    drawTargetMarker(view);
    statics->cull(visible, view);
    kesh::writeLine(boost::log::logScreen(), "Level: ", levelName);
    kesh::writeLine(boost::log::logScreen(), "Statics: visible ", visible.statics.size(),
                    ", total ", statics->size());
    statics->draw(visible, 1);
    if (outsideCamera) {
        collectDecals(t);
    }
    drawDecals(view, t);
    if (camera) {
        camera->debugDraw();
    }
    if (outsideCamera) {
        for (const std::unique_ptr<CVehicle>& object : sceneObjects) {
            object->render();
        }
    }
    if (decaler) {
        decaler->render(view, kesh::theEffectCache->fetch(kDecalEffect));
    }
    statics->draw(visible, 2);
    if (outsideCamera) {
        for (const std::unique_ptr<CVehicle>& object : sceneObjects) {
            object->drawDebugText(cameraView);
        }
    }
    if (cellGrid) {
        cellGrid->updateVisibility(view);
    }
}

void Level::collectDecals(const FrameTime& t) {
    // No more than the decaler draws of one texture in a frame: a long backlog (a skid under
    // the inside camera) is laid over the frames that follow instead of all at once.
    std::size_t left = kesh::Decaler::kMaxDecalsPerTexture;
    for (const std::unique_ptr<CVehicle>& object : sceneObjects) {
        while (left > 0) {
            const DecalRequest* request = object->nextDecalRequest();
            if (request == nullptr) {
                break;
            }
            --left;
            timedDecals.push_back(TimedDecal{request->texture, request->position, request->colour,
                                             request->angle, request->size,
                                             t.time + request->lifetime});
        }
    }
}

void Level::drawDecals(const kesh::CameraView&, const FrameTime& t) {
    for (std::size_t i = 0; i < timedDecals.size();) {
        const TimedDecal& decal = timedDecals[i];
        if (decal.expiry > t.time) {
            if (decaler) {
                decaler->addDecal(decal.texture, &decal.position, decal.angle, decal.colour,
                                  decal.size);
            }
            ++i;
        } else {
            timedDecals.erase(timedDecals.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

void Level::drawTargetMarker(const kesh::CameraView& view) {
    const kesh::MeshInfo* info = kesh::theMeshInfoCache->fetch(kMarkerMesh);
    ID3DXEffect* effect = kesh::theEffectCache->fetch(kMarkerEffect);
    // Drawn at scale 2 whatever the locator's own scale, keeping its position and rotation.
    const auto rowLength = [this](int row) {
        const float length =
            D3DXVec3Length(reinterpret_cast<const D3DXVECTOR3*>(&target.m[row][0]));
        return length > 0.0f ? length : 1.0f;
    };
    D3DXMATRIX scaling;
    D3DXMatrixScaling(&scaling, 2.0f / rowLength(0), 2.0f / rowLength(1), 2.0f / rowLength(2));
    kesh::drawMeshInfo(*info, effect, scaling * target, view.viewProjection);
}

void Level::getCarPosition(D3DXVECTOR3& out) const {
    CVehicle* car = vehicle();
    out = car ? car->placement()->position : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

void Level::getCarOrientation(D3DXQUATERNION& out) const {
    CVehicle* car = vehicle();
    out = car ? car->placement()->rotation : D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f);
}

void Level::getTargetPosition(D3DXVECTOR3& out) const {
    out = D3DXVECTOR3(target._41, target._42, target._43);
}

float Level::getEnginePower() const {
    return controller ? controller->engineSpeed() : 0.0f;
}

float Level::getGaugeValue() const {
    return controller ? controller->steering() : 0.0f;
}
