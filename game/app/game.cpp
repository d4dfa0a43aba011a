#include "game/app/game.h"

#include <boost/make_shared.hpp>

#include <sstream>

#include "engine/core/log.h"
#include "engine/core/lua/lua_binder_registry.h"
#include "engine/core/lua/lua_config.h"
#include "engine/core/publish.h"
#include "engine/core/strings.h"
#include "engine/core/vector_io.h"
#include "engine/render/debug/debug_renderer.h"
#include "engine/render/device/format_name.h"
#include "engine/render/effect/effect_cache.h"
#include "engine/render/effect/effect_loader.h"
#include "engine/render/effect/effect_pass.h"
#include "engine/render/log_lines.h"
#include "engine/render/mesh/mesh_loaders.h"
#include "engine/render/texture/texture_loader.h"
#include "game/app/stages/exit_stage.h"
#include "game/app/stages/game_stage.h"
#include "game/app/stages/menu_stage.h"
#include "game/app/stages/video_stage.h"
#include "game/audio/music_segment_cache.h"
#include "game/audio/music_segment_loader.h"

namespace {

using boost::log::logDebug;

constexpr D3DCOLOR kClearColor = 0xFF202020;
constexpr D3DCOLOR kScreenLogColor = 0xFF40FF40;
constexpr D3DCOLOR kCameraTextColor = 0xFFFF8080;
constexpr int kScreenLogOrder = 100;
const float kGreen[4] = {0.0f, 1.0f, 0.0f, 1.0f};
const float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

void clearScreenChannel() {
    boost::log::Logger screen = boost::log::getLogger("screen");
    screen->clearAppenders();
    screen->clearModifiers();
}

int dragModeOf(int button) {
    return button == 1 ? 0 : button == 2 ? 1 : 2;
}

}  // namespace

Game::PublishedServices::~PublishedServices() {
    if (screenLog) {
        clearScreenChannel();
    }
    kesh::withdraw(kesh::theDebugRenderer);
    kesh::withdraw(kesh::theMusicCache);
    kesh::withdraw(kesh::theMeshCache);
    kesh::withdraw(kesh::theMeshInfoCache);
    kesh::withdraw(kesh::theTextureCache);
    kesh::withdraw(kesh::theEffectCache);
    kesh::withdraw(kesh::theLuaConfig);
}

Game::Game(kesh::DxDevice* device, lua_State* lua, HWND window, const GameOptions& options,
           const std::wstring& root)
    : device(device),
      lua(lua),
      cameraDrag(nullptr, nullptr, 0),
      root(root),
      window(window),
      options(options) {
    camera.setFov(kFov);
    camera.setClipPlanes(camera.nearPlane, kFarPlane);
    if (options.camera) {
        camera.setClipPlanes(camera.nearPlane, kCameraFarPlane);
    }
    publishServices();
    if (logDebug().isEnabled() || options.camera) {
        attachScreenLog(options.fps || options.camera);
    }
    kesh::publish(kesh::theLuaConfig, std::make_unique<kesh::LuaConfig>(lua, root + L"config/"));
    kesh::LuaBinderRegistry::runAll(lua);
    kesh::LuaBinderRegistry::instance().clear();

    kesh::FontDesc description;
    description.points = 8;
    description.face = "Lucida console";
    font = std::make_unique<kesh::Font>(device, description);

    timer.update();
    startCount = timer.now.QuadPart;

    audio = std::make_unique<AudioSystem>(*kesh::theLuaConfig, *kesh::theMusicCache);
    audio->init(window);
    audio->enableSounds(true);
    audio->setMusicVolume(0.0f);

    activateStage(StageId::FirstVideo);
}

Game::~Game() {
    stage.reset();
    font.reset();
    // The play stage's destructor talks to the audio system, and the audio system gives its
    // segments back to the music cache: between the two.
    audio.reset();
}

void Game::publishServices() {
    const std::string narrowRoot = kesh::toNarrow(root);

    auto textures = boost::make_shared<kesh::TextureLoader>(device, narrowRoot + "texture/hi/");
    textures->setExtension(options.tga ? ".tga" : ".dds");
    kesh::publish(kesh::theTextureCache, std::make_unique<kesh::TextureCache>(textures));
    kesh::publish(
        kesh::theEffectCache,
        std::make_unique<kesh::EffectCache>(
            boost::make_shared<kesh::EffectLoader>(device, 0, narrowRoot + "fx/"), device));
    kesh::publish(kesh::theMeshCache,
                  std::make_unique<kesh::MeshCache>(
                      boost::make_shared<kesh::MeshLoader>(device, narrowRoot + "mesh/")));
    kesh::publish(kesh::theMeshInfoCache,
                  std::make_unique<kesh::MeshInfoCache>(
                      boost::make_shared<kesh::MeshInfoLoader>(device, narrowRoot + "mesh/")));
    kesh::publish(kesh::theMusicCache,
                  std::make_unique<kesh::MusicSegmentCache>(
                      boost::make_shared<kesh::MusicSegmentLoader>(root + L"audio/", false)));
    kesh::publish(kesh::theDebugRenderer,
                  std::make_unique<kesh::DebugRenderer>(device, "debug_render.fx"));
}

void Game::attachScreenLog(bool shown) {
    clearScreenChannel();
    services.screenLog = true;
    // The debug queues are drawn only with the frame-rate or the camera text. Otherwise the
    // channel keeps no appender, and lines written every frame (the level's readout) are not
    // even formatted.
    if (shown) {
        boost::log::addLogAppender(
            "screen",
            [](const std::string&, const std::string& text) {
                if (kesh::theDebugRenderer != nullptr) {
                    kesh::theDebugRenderer->addScreenText(text, kScreenLogColor);
                }
            },
            kScreenLogOrder);
    }
    boost::log::flushLogCache();
}

bool Game::checkDevice() {
    if (device->isLost()) {
        Sleep(10);
    }
    device->checkCooperativeLevel();
    return device->isLost();
}

void Game::onResize(int width, int height) {
    if (!device->isLost()) {
        device->resize(static_cast<unsigned>(width), static_cast<unsigned>(height));
    }
}

void Game::onFrame() {
    kesh::theDebugRenderer->clear();
    timer.update();
    if (device->isLost()) {
        return;
    }
    if (stage) {
        activateStage(stage->nextStage());
    }
    if (audio) {
        audio->update();
    }

    IDirect3DDevice9* d3d = device->getDevice();
    d3d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColor, 1.0f, 0);
    d3d->BeginScene();
    {
        // Sets the frame's render states; the passes draw nothing.
        kesh::EffectPass globals(kesh::theEffectCache->fetch("global.fx"), D3DXFX_DONOTSAVESTATE);
        while (globals.current < globals.count) {
            globals.next();
        }
        globals.end();
    }

    if (stage) {
        stage->update();
    } else if (options.fps) {
        drawText(L"NO SIGNAL", 4, 4, kGreen);
    }
    drawNotice();
    if (options.fps) {
        drawFrameRate();
    }
    if (options.camera) {
        std::wostringstream text;
        const D3DXVECTOR3 position(camera.camera._41, camera.camera._42, camera.camera._43);
        text << L"Camera position: " << position;
        kesh::theDebugRenderer->addScreenText(text.str(), kCameraTextColor);
    }
    if (options.fps || options.camera) {
        kesh::theDebugRenderer->draw(camera);
    }

    d3d->EndScene();
    // A lost device shows up at the next checkDevice.
    d3d->Present(nullptr, nullptr, nullptr, nullptr);
}

void Game::drawText(const std::wstring& text, int left, int top, const float rgba[4]) {
    RECT rect{left, top, left, top};
    font->measureText(text.c_str(), -1, &rect, DT_SINGLELINE);
    font->drawText(text.c_str(), -1, &rect, rgba, DT_SINGLELINE);
}

void Game::drawNotice() {
    if (notice.empty()) {
        return;
    }
    const int top = static_cast<int>(device->getViewport().Height) - font->getHeight() - 4;
    drawText(notice, 4, top, kGreen);
    const double shown =
        static_cast<double>(timer.now.QuadPart - noticeStart) / timer.freq.QuadPart;
    if (shown >= kNoticeSeconds) {
        notice.clear();
    }
}

void Game::drawFrameRate() {
    const double seconds =
        static_cast<double>(timer.now.QuadPart - startCount) / timer.freq.QuadPart;
    ++frameCount;
    if (seconds - fpsLastTime > fpsInterval) {
        fps = static_cast<float>(frameCount / (seconds - fpsLastTime));
        frameCount = 0;
        fpsLastTime = seconds;
    }
    const D3DVIEWPORT9& viewport = device->getViewport();
    std::wostringstream text;
    text << viewport.Width << L"x" << viewport.Height << L"-"
         << kesh::formatName(device->backBufferFormat()) << L"|"
         << kesh::formatName(device->depthStencilFormat()) << L" " << fps;
    const std::wstring line = text.str();
    RECT rect{0, 0, 0, 0};
    font->measureText(line.c_str(), -1, &rect, DT_SINGLELINE);
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    rect.right = static_cast<LONG>(viewport.Width) - 2;
    rect.left = rect.right - width;
    rect.top = 2;
    rect.bottom = rect.top + height;
    font->drawText(line.c_str(), -1, &rect, kWhite, DT_SINGLELINE);
}

void Game::activateStage(StageId id) {
    if (id == StageId::None) {
        return;
    }
    stage.reset();
    kesh::writeLine(logDebug(), "Activating stage: ", static_cast<int>(id));
    const bool video = id == StageId::FirstVideo || id == StageId::SecondVideo;
    if (!video) {
        audio->stopSound("video01");
        audio->stopSound("video02");
        audio->update();
        audio->setMusicVolume(0.7f);
    }
    if (id == StageId::Exit) {
        audio->setMusicVolume(0.0f);
    }
    stage = buildStage(id);
    // A menu built under a resting pointer must know it is there, or a click without a move
    // lands nowhere.
    if (stage && pointerSeen) {
        stage->onMouseMove(mouseX, mouseY);
    }
    if (video) {
        audio->startSound(id == StageId::FirstVideo ? "video01" : "video02");
        audio->setMusicVolume(0.0f);
    }
}

std::unique_ptr<Stage> Game::buildStage(StageId id) {
    const std::wstring guiFolder = root + L"texture/hi/gui/";
    switch (id) {
        case StageId::Menu:
            return std::make_unique<MenuStage>(device, guiFolder);
        case StageId::FirstVideo:
            return std::make_unique<VideoStage>(device, root + L"video/video01.rs", StageId::Menu);
        case StageId::SecondVideo:
            return std::make_unique<VideoStage>(device, root + L"video/video02.rs", StageId::Play);
        case StageId::Play: {
            GameStageParams params;
            params.levelFile = options.level.empty() ? L"levels/final_level.slev" : options.level;
            params.guiTextureFolder = guiFolder;
            params.lightmapFolder = L"lightmaps/level01/";
            params.effectList = L"effect_config.cmd";
            params.rootFolder = root;
            params.effectName = options.effect;
            auto play = std::make_unique<GameStage>(device, audio.get(), &camera, window, params);
            if (!options.mouse) {
                play->setCameraTarget(&camera);
            }
            play->setNoticeBoard([this](const std::wstring& text) { showNotice(text); });
            play->sharePreviousFrame(&previousPlayFrame);
            return play;
        }
        case StageId::Exit:
            return std::make_unique<ExitStage>(device, guiFolder);
        default:
            return nullptr;
    }
}

void Game::showNotice(const std::wstring& text) {
    notice = text;
    noticeStart = timer.now.QuadPart;
}

LRESULT Game::onMessage(HWND, UINT message, WPARAM wParam, LPARAM, bool*) {
    if (message != WM_KEYDOWN) {
        return 0;
    }
    if (stage) {
        stage->onKey(static_cast<int>(wParam));
    }
    return 0;
}

void Game::onMouseMove(int x, int y) {
    if (stage) {
        stage->onMouseMove(x, y);
    }
    mouseX = x;
    mouseY = y;
    pointerSeen = true;
    cameraDrag.update(x, y);
}

void Game::onMouseWheel(int delta) {
    kesh::writeLine(logDebug(), " wheel: ", delta);
    if (stage) {
        stage->onMouseWheel(delta);
    }
}

void Game::onMouseButton(int button, int down) {
    kesh::writeLine(logDebug(), " mouse button: ", button, " ", down != 0 ? 1 : 0);
    if (stage) {
        stage->onMouseButton(button, down != 0);
    }
    if (down != 0) {
        if (options.mouse) {
            const int position[2] = {mouseX, mouseY};
            cameraDrag = kesh::CameraDrag(&camera, position, dragModeOf(button));
        }
    } else {
        cameraDrag.stop();
    }
}
