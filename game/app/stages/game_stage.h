// Stage 4: one run of the level against the clock. The constructor loads everything the run
// needs (with one loading picture on the way); a run starts paused under the map screen and
// ends with a win or lose picture, after which a key returns to the menu. The pause menu can
// continue, restart the run or leave the program.
#pragma once

#include <d3dx9math.h>
#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/bounding_box.h"
#include "engine/core/perf_timer.h"
#include "engine/core/resource.h"
#include "engine/render/camera_view.h"
#include "engine/render/device/dx_device.h"
#include "engine/render/quad/ground_height_source.h"
#include "game/app/shell/gui_settings.h"
#include "game/app/stages/previous_frame.h"
#include "game/app/stages/stage.h"
#include "game/world/level/car_maker.h"

class AudioSystem;
class CarInterface;
struct FrameTime;
class GameMap;
class GuiNumberDisplay;
class GuiPictureWidget;
class InputSystem;
class Level;
class ShellMenu;

namespace kesh {
class Decaler;
class EffectManager;
class QuadBatcher;
class TranslatedMesh;
}  // namespace kesh

// What the game tells the play stage about the run.
struct GameStageParams {
    std::wstring levelFile;         // relative to rootFolder
    std::wstring guiTextureFolder;  // the GUI textures and atlases
    std::wstring lightmapFolder;    // relative to the texture folder
    std::wstring effectList;        // read from rootFolder + "config/"
    std::wstring rootFolder;        // the art folder, with its trailing separator
    std::string effectName;         // the command line's effect option; carried only
    CarMaker carMaker = makeJeep;   // the run's car
};

class GameStage : public Stage, public kesh::GroundHeightSource {
public:
    static constexpr double kWinDistanceSquared = 100.0;  // strictly less wins
    static constexpr double kTimeLimit = 600.0;           // seconds
    static constexpr double kPictureHold = 3.0;           // seconds, strictly more
    static constexpr int kAmbientBase = 40;               // seconds
    static constexpr int kAmbientSpread = 30;             // rand() % 30 seconds more
    static constexpr int kAmbientCount = 15;              // "z1" .. "z15"
    static constexpr float kGaugeAngleFactor = 4.712389f;
    static constexpr double kKeySensitivity = 0.25;

    // Loads the run: effects, sounds, input, the level, the map (open), the globe, the car
    // interface and the countdown. device, audio and camera are not owned and must outlive
    // the stage. Every failure but the effect list's leaves as an exception.
    GameStage(kesh::DxDevice* device, AudioSystem* audio, kesh::CameraView* camera, HWND window,
              const GameStageParams& params);
    // Stops every sound, silences the music and withdraws theEffectManager.
    ~GameStage() override;
    GameStage(const GameStage&) = delete;
    GameStage& operator=(const GameStage&) = delete;

    // To the pause menu when it is open, else to the map screen when it is open; remembered
    // for the pages that open later.
    void onMouseMove(int x, int y) override;
    void onMouseWheel(int) override {}
    void onMouseButton(int button, bool down) override;
    // One frame, between BeginScene and EndScene.
    void update() override;
    StageId nextStage() override { return next; }
    void onKey(int virtualKey) override;

    // The ground under the decals is the plane y = 0.
    float groundHeight(const float point[2]) override;

    // Where the level camera is copied every frame; null (the default) copies it nowhere.
    void setCameraTarget(kesh::CameraView* target) { cameraTarget = target; }
    // Where 'M' and 'J' say what they switched ("Mouse Enabled", "Joystick Disabled", ...);
    // without one (the default) they switch silently.
    void setNoticeBoard(std::function<void(const std::wstring&)> board) {
        noticeBoard = std::move(board);
    }
    // A record of the previous frame that outlives the stage: a restarted run's first delta
    // then spans the time since the previous run's last frame (the level's step limit bounds
    // it). Without one (the default) the stage starts without a previous frame, as the first
    // run of the process does.
    void sharePreviousFrame(PreviousFrame* shared) { previousFrame = shared; }

    // Cockpit view and camera against outside view and camera.
    void toggleView();
    // A level position on the map screen (u, v in 0..1); y is ignored. A level box without
    // width or depth puts everything at the centre.
    std::array<float, 2> worldToMap(const D3DXVECTOR3& position) const;
    // The same within the box of a level's statics, which the map picture shows.
    static std::array<float, 2> worldToMap(const kesh::BoundingBox& box,
                                           const D3DXVECTOR3& position);
    // One of the names not yet played, once the next ambient sound is due.
    void playAmbientSound();
    // Appends "z1" .. "z15".
    void fillAmbientNames();

private:
    friend struct GameStageProbe;

    void load(HWND window);
    // What the destructor does; also undoes a constructor that failed half-way.
    void release();
    GuiSettings guiSettings() const;
    void showLoadingPicture();
    void openMap();
    void closeMap();
    void applyRules(const FrameTime& frameTime);
    // Replaces the picture (the old one goes first), pauses and requests the sound.
    void decide(const char* name, const char* sound);
    // 'M': mouse steering, 'J': the joystick; switching one on switches the other off.
    void switchInput(int key);
    void handlePauseMenu();
    // The counter as read at the start of the frame.
    std::int64_t counter() const { return timer.now.QuadPart; }
    std::int64_t ambientInterval();

    std::unique_ptr<InputSystem> input;
    kesh::DxDevice* device;
    std::unique_ptr<kesh::Decaler> decaler;
    kesh::CameraView* cameraTarget = nullptr;
    kesh::CameraView* camera;
    AudioSystem* audio;
    std::unique_ptr<kesh::QuadBatcher> quadBatcher;
    std::unique_ptr<GameMap> map;
    std::unique_ptr<GuiPictureWidget> picture;
    std::unique_ptr<GuiNumberDisplay> countdown;
    std::unique_ptr<Level> level;
    std::unique_ptr<kesh::TranslatedMesh> globe;
    kesh::PerfTimer timer;
    std::int64_t startCount = 0;
    std::int64_t pictureCount = 0;
    std::int64_t nextAmbientCount = 0;
    std::unique_ptr<ShellMenu> pauseMenu;
    // The last pointer position, handed to the pause menu and the map when they open; the
    // GUI's "nowhere" until the first move.
    std::array<int, 2> pointer{-1000, -1000};
    std::unique_ptr<CarInterface> carInterface;
    GameStageParams params;
    bool insideView = true;
    StageId next = StageId::None;
    bool paused = true;
    std::vector<std::string> ambientNames;

    std::string pictureName;
    std::function<void(const std::wstring&)> noticeBoard;
    PreviousFrame ownPreviousFrame;
    PreviousFrame* previousFrame = &ownPreviousFrame;
    kesh::ResourceId billboardEffect;
    kesh::EffectManager* effects = nullptr;  // owned through theEffectManager
    bool audioStarted = false;
};
