#include "game_session.h"

#include <GL/gl.h>
#include <objbase.h>

#include <stdexcept>

#include "engine/core/strings.h"
#include "win32/window_seams.h"

namespace bench {
namespace {

// The game picks start (first rand after seeding with the time + the counter's whole
// seconds) modulo the number of starts. A time whose pick is start modulo 840, the least
// common multiple of 1 to 8, picks start for any number of starts up to eight.
std::int64_t timePicking(int start, LONGLONG seconds) {
    constexpr long kCommonMultiple = 840;
    const long wanted = ((start - seconds) % kCommonMultiple + kCommonMultiple) % kCommonMultiple;
    for (std::int64_t time = 0;; ++time) {
        msvcrt_srand(static_cast<unsigned int>(time));
        if (msvcrt_rand() % kCommonMultiple == wanted) {
            return time;
        }
    }
}

}  // namespace

GameSession::GameSession(d3d9::BackendKind backend, int width, int height)
    : backend(backend), artRoot(kesh::toWide(MORVALE_ART_ROOT)) {
    previousCounter = win32::setPerformanceCounterSource([this] { return counter; });
    previousFrequency = win32::setPerformanceFrequency(kFrequency);
    previousTime = win32::setTimeSource([this] { return seedTime; });
    win32::useWindowBackend(win32::WindowBackendKind::Sdl);
    d3d9::useBackend(backend);

    comStarted = SUCCEEDED(CoInitializeEx(nullptr, 0));
    lua = kesh::openGameLuaState(artRoot);
    direct3d.reset(Direct3DCreate9(D3D_SDK_VERSION));
    if (!direct3d) {
        throw std::runtime_error("no Direct3D");
    }
    factory = std::make_unique<kesh::DxDeviceFactory>(direct3d.get());
    if (!appWindow.create(GetModuleHandleW(nullptr), L"Morvale", 0, 0, 400, 300)) {
        throw std::runtime_error("no window");
    }
    appWindow.setClientSize(width, height);
    if (!factory->selectDepthStencil(24, 0)) {
        throw std::runtime_error("no depth/stencil format");
    }
    device = factory->createDevice(appWindow.getWindow());
    if (!device) {
        throw std::runtime_error("no device");
    }
    dxDevice = std::make_unique<kesh::DxDevice>(device.get(), factory.get());
    theGame = std::make_unique<Game>(dxDevice.get(), lua.get(), appWindow.getWindow(),
                                     GameOptions(), artRoot);
    appWindow.show(SW_SHOWDEFAULT);
    appWindow.setMouseListener(theGame.get());
    appWindow.setMessageHook(theGame.get());
}

GameSession::~GameSession() {
    appWindow.setMouseListener(nullptr);
    appWindow.setMessageHook(nullptr);
    theGame.reset();
    dxDevice.reset();
    device.reset();
    factory.reset();
    direct3d.reset();
    lua.reset();
    if (comStarted) {
        CoUninitialize();
    }
    win32::resetWindowSystem();
    win32::setPerformanceFrequency(previousFrequency);
    win32::setPerformanceCounterSource(previousCounter);
    win32::setTimeSource(previousTime);
}

void GameSession::play(int start) {
    seedTime = timePicking(start, counter / kFrequency);
    theGame->activateStage(StageId::Play);
    frame();
    stage()->onKey('C');  // closes the map
    win32::simulateKey(appWindow.getWindow(), VK_UP, true);
}

void GameSession::frame() {
    counter += kFrameTicks;
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (!theGame->checkDevice()) {
        theGame->onFrame();
    }
}

void GameSession::finishDrawing() {
    if (backend == d3d9::BackendKind::Gl) {
        glFinish();
        // Work after the call keeps this frame on the stack, where the sampler looks for it.
        ++finishes;
    }
}

}  // namespace bench
