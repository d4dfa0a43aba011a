// The game in this process as its entry point sets it up (window at 800 x 600, device, script
// host, the game object over the art folder the build generates), run one turn of its loop at
// a time on a performance counter that moves 1/60 s per turn. play() goes to the play stage
// on the sample level, closes its map and holds the accelerator: the frames that follow
// drive the real car. The level's start is picked as the game picks it, from the C runtime's
// generator seeded with the time: the session sets the time so that the pick is the one asked
// for, and every run of a benchmark starts at the same place.
#pragma once

#include <d3d9.h>
#include <windows.h>

#include <memory>

#include "d3d9/drawing.h"
#include "engine/core/lua/lua_state.h"
#include "engine/render/device/application_window.h"
#include "engine/render/device/device_factory.h"
#include "engine/render/device/dx_device.h"
#include "game/app/game.h"
#include "game/app/stages/game_stage.h"
#include "tests/support/game_probe.h"
#include "win32/com_ptr.h"
#include "win32/crt.h"
#include "win32/seams.h"

namespace bench {

class GameSession {
public:
    static constexpr LONGLONG kFrequency = 1000000000;
    static constexpr LONGLONG kFrameTicks = kFrequency / 60;

    explicit GameSession(d3d9::BackendKind backend, int width = 800, int height = 600);
    ~GameSession();
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    // start counts the level's start locators from 0 and wraps around their number (up to
    // eight of them).
    void play(int start = 0);
    // One turn of the game's loop: the window's messages, then a frame.
    void frame();
    // Waits until the drawing backend has carried out every command given so far.
    void finishDrawing();

    Game& game() { return *theGame; }
    GameStage* stage() { return GameProbe(*theGame).playStage(); }
    kesh::DxDevice& dx() { return *dxDevice; }
    HWND window() const { return appWindow.getWindow(); }
    const std::wstring& root() const { return artRoot; }
    // The counter's ticks so far.
    LONGLONG now() const { return counter; }

private:
    const d3d9::BackendKind backend;
    const std::wstring artRoot;
    LONGLONG counter = 1000 * kFrequency;
    long finishes = 0;
    win32::CounterSource previousCounter;
    win32::TimeSource previousTime;
    std::int64_t seedTime = 0;
    LONGLONG previousFrequency = 0;
    bool comStarted = false;
    kesh::LuaStatePtr lua;
    win32::ComPtr<IDirect3D9> direct3d;
    std::unique_ptr<kesh::DxDeviceFactory> factory;
    kesh::ApplicationWindow appWindow;
    win32::ComPtr<IDirect3DDevice9> device;
    std::unique_ptr<kesh::DxDevice> dxDevice;
    std::unique_ptr<Game> theGame;
};

}  // namespace bench
