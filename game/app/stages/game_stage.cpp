#include "game/app/stages/game_stage.h"

#include <stdexcept>
#include <utility>

#include "engine/core/publish.h"
#include "engine/render/debug/debug_renderer.h"
#include "engine/render/effect/effect_cache.h"
#include "engine/render/mesh/mesh.h"
#include "engine/render/quad/decaler.h"
#include "engine/render/quad/quad_batcher.h"
#include "engine/render/visual_effects/effect_manager.h"
#include "game/app/hud/car_interface.h"
#include "game/app/hud/gui_number_display.h"
#include "game/app/shell/game_map.h"
#include "game/app/shell/gui_picture_widget.h"
#include "game/app/shell/gui_settings.h"
#include "game/app/shell/shell_menu.h"
#include "game/audio/audio_system.h"
#include "game/vehicle/input/input_system.h"
#include "game/world/level/level.h"
#include "win32/crt.h"

namespace {

const char* const kEngineSounds[] = {"carEngineNo", "carEngineLo", "carEngine", "carEngineHi"};

std::int64_t readCounter() {
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}

}  // namespace

GameStage::GameStage(kesh::DxDevice* device, AudioSystem* audio, kesh::CameraView* camera,
                     HWND window, const GameStageParams& params)
    : device(device), camera(camera), audio(audio), params(params) {
    try {
        load(window);
    } catch (...) {
        release();
        throw;
    }
}

GameStage::~GameStage() {
    release();
}

GuiSettings GameStage::guiSettings() const {
    GuiSettings settings;
    settings.textureFolder = params.guiTextureFolder;
    return settings;
}

void GameStage::load(HWND window) {
    decaler = std::make_unique<kesh::Decaler>(device, this);
    quadBatcher = std::make_unique<kesh::QuadBatcher>(device);

    auto manager = std::make_unique<kesh::EffectManager>(device, quadBatcher.get());
    effects = manager.get();
    kesh::publish(kesh::theEffectManager, std::move(manager));
    kesh::theEffectManager->readEffectList(params.rootFolder + L"config/", params.effectList);

    audio->enableMusic(true);
    audio->playBackgroundMusic();
    audio->setMusicVolume(0.7f);
    audio->setEffectsVolume(1.0f);
    for (const char* name : kEngineSounds) {
        audio->startSound(name);
        audio->setVolume(name, 0.0f);
    }
    audioStarted = true;

    input = std::make_unique<InputSystem>(window);
    input->keySensitivity = kKeySensitivity;

    showLoadingPicture();

    LevelParams levelParams;
    levelParams.root = params.rootFolder;
    levelParams.levelFile = params.levelFile;
    levelParams.lightmapFolder = params.lightmapFolder;
    levelParams.physicsScript = L"physics.lua";
    levelParams.carMaker = params.carMaker;
    level =
        std::make_unique<Level>(device, *camera, input.get(), decaler.get(), audio, levelParams);
    // A car at the origin with its target on top of it would win the first frame.
    if (!level->playable()) {
        throw std::runtime_error(level->whyUnplayable());
    }

    openMap();

    globe = std::make_unique<kesh::TranslatedMesh>("sphere.x", "car.fx", "misc/Earth.dds", 0);
    carInterface = std::make_unique<CarInterface>(
        "car.fx", "car_interface.fx", params.rootFolder + L"levels/interior.slev",
        params.rootFolder + L"levels/OnScreenInterface.slev", camera, &timer, audio);

    timer.update();
    startCount = counter();

    msvcrt_srand(static_cast<unsigned>(msvcrt_time()));
    nextAmbientCount = counter() + ambientInterval();
    fillAmbientNames();

    countdown =
        std::make_unique<GuiNumberDisplay>(device, guiSettings(), "time_remaining_background");
    toggleView();
    toggleView();
    billboardEffect = kesh::ResourceId("billboard.fx");
}

void GameStage::release() {
    carInterface.reset();
    picture.reset();
    globe.reset();
    map.reset();
    level.reset();
    countdown.reset();
    // A run closed while paused still has its menu.
    pauseMenu.reset();
    input.reset();
    if (audioStarted) {
        audio->stopAll();
        audio->setMusicVolume(0.0f);
        audioStarted = false;
    }
    // Only our own: a manager published after ours has already destroyed it.
    if (effects != nullptr && kesh::theEffectManager == effects) {
        kesh::withdraw(kesh::theEffectManager);
    }
    effects = nullptr;
    quadBatcher.reset();
    decaler.reset();
}

void GameStage::showLoadingPicture() {
    IDirect3DDevice9* d3d = device->getDevice();
    d3d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF202020, 1.0f, 0);
    d3d->BeginScene();
    {
        GuiPictureWidget loading(device, guiSettings(), "loading_screen");
        loading.draw();
    }
    d3d->EndScene();
    d3d->Present(nullptr, nullptr, nullptr, nullptr);
}

float GameStage::groundHeight(const float*) {
    return 0.0f;
}

std::int64_t GameStage::ambientInterval() {
    const std::int64_t seconds = msvcrt_rand() % kAmbientSpread + kAmbientBase;
    return seconds * timer.freq.QuadPart;
}

void GameStage::fillAmbientNames() {
    for (int i = 1; i <= kAmbientCount; ++i) {
        ambientNames.push_back("z" + std::to_string(i));
    }
}

void GameStage::playAmbientSound() {
    // Counts are fine-grained: the sound is due once the counter has got there, not only on
    // the exact count.
    if (counter() < nextAmbientCount || ambientNames.empty()) {
        return;
    }
    msvcrt_srand(static_cast<unsigned>(msvcrt_time()));
    const std::size_t i = static_cast<std::size_t>(msvcrt_rand()) % ambientNames.size();
    audio->playSound(ambientNames[i]);
    ambientNames.erase(ambientNames.begin() + static_cast<std::ptrdiff_t>(i));
    nextAmbientCount = counter() + ambientInterval();
}

void GameStage::toggleView() {
    insideView = !insideView;
    if (carInterface) {
        carInterface->setView(insideView);
    }
    if (level) {
        level->switchCamera(insideView);
    }
}

std::array<float, 2> GameStage::worldToMap(const D3DXVECTOR3& position) const {
    const StaticsSet* statics = level ? level->getStatics() : nullptr;
    if (statics == nullptr) {
        return {0.5f, 0.5f};
    }
    return worldToMap(statics->bounds(), position);
}

std::array<float, 2> GameStage::worldToMap(const kesh::BoundingBox& box,
                                           const D3DXVECTOR3& position) {
    const float width = box.max.x - box.min.x;
    const float depth = box.max.z - box.min.z;
    // A level without extent (no statics) would divide by zero.
    if (!(width > 0.0f && depth > 0.0f)) {
        return {0.5f, 0.5f};
    }
    // The map picture shows the box's largest x at its left and its smallest z at its top.
    return {(box.max.x - position.x) / width * 0.6011f + 0.0507f,
            (position.z - box.min.z) / depth * 0.8317f + 0.037f};
}

void GameStage::openMap() {
    D3DXVECTOR3 car;
    D3DXVECTOR3 target;
    level->getCarPosition(car);
    level->getTargetPosition(target);
    const std::array<float, 2> carOnMap = worldToMap(car);
    const std::array<float, 2> targetOnMap = worldToMap(target);
    map = std::make_unique<GameMap>(device, guiSettings(), carOnMap.data(), targetOnMap.data());
    map->onMouseMove(pointer[0], pointer[1]);
}

void GameStage::closeMap() {
    paused = false;
    map.reset();
}

void GameStage::onMouseMove(int x, int y) {
    pointer = {x, y};
    if (pauseMenu) {
        pauseMenu->onMouseMove(x, y);
    } else if (map) {
        map->onMouseMove(x, y);
    }
}

void GameStage::onMouseButton(int button, bool down) {
    if (pauseMenu) {
        pauseMenu->onMouseButton(button, down);
    } else if (map) {
        map->onMouseButton(button, down);
    }
}

void GameStage::switchInput(int key) {
    const bool mouse = key == 'M';
    const bool enabled = mouse ? !input->isMouseEnabled() : !input->isJoystickEnabled();
    if (noticeBoard) {
        noticeBoard(std::wstring(mouse ? L"Mouse " : L"Joystick ") +
                    (enabled ? L"Enabled" : L"Disabled"));
    }
    if (mouse) {
        input->setMouseEnabled(enabled);
        input->setJoystickEnabled(false);
    } else {
        input->setJoystickEnabled(enabled);
        input->setMouseEnabled(false);
    }
}

void GameStage::onKey(int key) {
    // The switches work under the map, the pause menu and the picture too, and the key then
    // goes on as any other (a picture's "any key" included).
    if (key == 'M' || key == 'J') {
        switchInput(key);
    }
    if (picture) {
        const double held = static_cast<double>(readCounter() - pictureCount) / timer.freq.QuadPart;
        if (held > kPictureHold) {
            next = StageId::Menu;
        }
        return;
    }
    if (map) {
        if (key == VK_ESCAPE || key == VK_TAB || key == 'C') {
            closeMap();
        }
        return;
    }
    if (pauseMenu) {
        pauseMenu->onKey(key);
        if (key == VK_ESCAPE) {
            paused = false;
            pauseMenu.reset();
        }
        return;
    }
    if (key == 'V' || key == VK_F7) {
        toggleView();
    } else if (key == VK_ESCAPE) {
        paused = true;
        pauseMenu = std::make_unique<ShellMenu>(device, guiSettings(), true, false);
        pauseMenu->onMouseMove(pointer[0], pointer[1]);
    } else if (key == 'H' || key == VK_F1) {
        paused = true;
        pauseMenu = std::make_unique<ShellMenu>(device, guiSettings(), true, true);
        pauseMenu->onMouseMove(pointer[0], pointer[1]);
    } else if (key == 'C' || key == VK_TAB) {
        openMap();
        paused = true;
    }
}

void GameStage::decide(const char* name, const char* sound) {
    paused = true;
    // The old picture goes before the new one takes its place.
    picture.reset();
    picture = std::make_unique<GuiPictureWidget>(device, guiSettings(), name);
    pictureName = name;
    pictureCount = counter();
    audio->playSound(sound);
}

void GameStage::applyRules(const FrameTime& frameTime) {
    D3DXVECTOR3 car;
    D3DXVECTOR3 target;
    level->getCarPosition(car);
    level->getTargetPosition(target);
    const double dx = static_cast<double>(car.x) - target.x;
    const double dy = static_cast<double>(car.y) - target.y;
    const double dz = static_cast<double>(car.z) - target.z;
    if (dx * dx + dy * dy + dz * dz < kWinDistanceSquared) {
        decide("win", "z17");
    } else if (level->isLost()) {
        decide("lose", "z16");
    }
    if (frameTime.time > kTimeLimit) {
        decide("lose", "z16");
    }
}

void GameStage::update() {
    quadBatcher->clear();
    timer.update();
    const double frequency = static_cast<double>(timer.freq.QuadPart);

    if (map) {
        map->update(static_cast<float>((counter() - startCount) / frequency));
        if (map->done()) {
            closeMap();
        }
        return;
    }

    if (!previousFrame->known) {
        previousFrame->known = true;
        previousFrame->count = counter();
    }
    FrameTime frameTime;
    frameTime.time = (counter() - startCount) / frequency;
    frameTime.delta = (counter() - previousFrame->count) / frequency;

    if (!paused) {
        level->update(frameTime);
        applyRules(frameTime);
        playAmbientSound();
    }

    if (cameraTarget != nullptr) {
        *cameraTarget = level->view();
    }
    globe->render(*camera);
    // The globe is the backdrop: nothing of the level may end behind it.
    device->getDevice()->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    decaler->clear();
    level->render(*camera, frameTime);
    kesh::theEffectManager->render(*camera, 0, 0xFFFFFFFFu);
    quadBatcher->render(*camera, kesh::theEffectCache->fetch(billboardEffect));
    previousFrame->count = counter();

    if (carInterface) {
        // The instruments lie in front of the camera, and a building closer than they are
        // would hide them: they are drawn over the scene, depth-tested among themselves only.
        device->getDevice()->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        D3DXVECTOR3 car;
        D3DXQUATERNION orientation;
        D3DXVECTOR3 target;
        level->getCarPosition(car);
        level->getCarOrientation(orientation);
        level->getTargetPosition(target);
        carInterface->render(car, orientation, target, level->getGaugeValue() * kGaugeAngleFactor,
                             level->getEnginePower());
    }
    if (countdown) {
        // The clock runs on while paused: the limit is on the run, not on the driving.
        countdown->draw(kTimeLimit - frameTime.time);
    }
    if (pauseMenu) {
        handlePauseMenu();
    }
    if (picture) {
        picture->draw();
    }
}

void GameStage::handlePauseMenu() {
    switch (pauseMenu->result()) {
        case ShellMenu::Nothing:
            // The menu covers the scene: what the scene queued for the debug overlay this
            // frame is not drawn over it.
            if (kesh::theDebugRenderer != nullptr) {
                kesh::theDebugRenderer->clear();
            }
            pauseMenu->draw();
            break;
        case ShellMenu::Exit:
            pauseMenu.reset();
            next = StageId::Exit;
            break;
        case ShellMenu::Start:
            next = StageId::Play;
            pauseMenu.reset();
            break;
        case ShellMenu::Continue:
            paused = false;
            pauseMenu.reset();
            break;
        default:
            break;
    }
}
