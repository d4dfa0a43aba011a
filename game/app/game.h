// The application object: owns the process-wide services (the five resource caches, the
// debug renderer, the script host), the on-screen font, the audio system and the current
// stage; runs one frame each time the window's pump is idle and switches between the five
// stages (StageId).
#pragma once

#include <windows.h>
#include <lua.hpp>

#include <cstdint>
#include <memory>
#include <string>

#include "engine/core/perf_timer.h"
#include "engine/render/camera_view.h"
#include "engine/render/device/dx_device.h"
#include "engine/render/device/window_listeners.h"
#include "engine/render/gui/font.h"
#include "game/app/game_options.h"
#include "game/app/stages/previous_frame.h"
#include "game/app/stages/stage.h"
#include "game/audio/audio_system.h"

class Game : public kesh::FrameListener, public kesh::MessageHook, public kesh::MouseListener {
public:
    static constexpr float kFov = 0.9424778f;  // 54 degrees
    static constexpr float kFarPlane = 150.0f;
    static constexpr float kCameraFarPlane = 500.0f;
    static constexpr double kNoticeSeconds = 2.0;

    // Publishes the services over root (the art folder, ending in a separator), runs every
    // registered Lua binder once on lua and empties the registry, starts the audio and the
    // first video. Nothing is caught: a failure leaves as the exception, with whatever was
    // published withdrawn again. device and lua are not owned and must outlive the game.
    Game(kesh::DxDevice* device, lua_State* lua, HWND window, const GameOptions& options,
         const std::wstring& root);
    // The stage, the font and the audio system, then the services.
    ~Game() override;
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    void onFrame() override;
    void onResize(int width, int height) override;
    // While the device is lost: a 10 ms sleep, then a reset when it can be had; true while it
    // is still lost (no frame is run).
    bool checkDevice() override;

    // Hands key presses to the stage. Never marks a message handled.
    LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                      bool* handled) override;

    void onMouseMove(int x, int y) override;
    void onMouseWheel(int delta) override;
    void onMouseButton(int button, int down) override;

    // Replaces the current stage (the old one goes first); None keeps it.
    void activateStage(StageId id);
    // Shown on the bottom line for 2 seconds from the timer's last tick.
    void showNotice(const std::wstring& text);

protected:
    // A stage built as the program builds it; tests put stages of their own in here.
    virtual std::unique_ptr<Stage> buildStage(StageId id);

private:
    friend struct GameProbe;

    // Withdraws the published services when the game goes, also when its constructor fails
    // after publishing some of them; declared first, so it goes last.
    struct PublishedServices {
        ~PublishedServices();
        bool screenLog = false;
    };

    void publishServices();
    void attachScreenLog(bool shown);
    void drawText(const std::wstring& text, int left, int top, const float rgba[4]);
    void drawNotice();
    void drawFrameRate();

    PublishedServices services;
    kesh::DxDevice* device;
    std::unique_ptr<AudioSystem> audio;
    lua_State* lua;
    kesh::CameraView camera;
    kesh::CameraDrag cameraDrag;
    std::int32_t mouseX = 0;
    std::int32_t mouseY = 0;
    bool pointerSeen = false;
    std::unique_ptr<kesh::Font> font;
    kesh::PerfTimer timer;
    std::int64_t startCount = 0;
    std::int64_t noticeStart = 0;
    std::wstring notice;
    std::wstring root;
    double fpsLastTime = 0.0;
    double fpsInterval = 1.0;
    std::uint32_t frameCount = 0;
    float fps = 0.0f;
    HWND window;
    // Every play stage of the run carries on from the one before it.
    PreviousFrame previousPlayFrame;
    std::unique_ptr<Stage> stage;
    GameOptions options;
};
