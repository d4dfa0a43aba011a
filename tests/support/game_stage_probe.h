// What a play stage keeps to itself, reached by tests and benchmarks through friendship.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/app/stages/game_stage.h"

struct GameStageProbe {
    explicit GameStageProbe(const GameStage& stage) : stage(stage) {}

    Level* level() const { return stage.level.get(); }
    GameMap* map() const { return stage.map.get(); }
    GuiPictureWidget* picture() const { return stage.picture.get(); }
    // Which picture is up: "win", "lose", or empty.
    const std::string& outcome() const { return stage.pictureName; }
    GuiNumberDisplay* countdown() const { return stage.countdown.get(); }
    ShellMenu* pauseMenu() const { return stage.pauseMenu.get(); }
    CarInterface* carInterface() const { return stage.carInterface.get(); }
    InputSystem* input() const { return stage.input.get(); }
    bool paused() const { return stage.paused; }
    bool insideView() const { return stage.insideView; }
    const std::vector<std::string>& ambientNames() const { return stage.ambientNames; }
    std::int64_t startCount() const { return stage.startCount; }
    std::int64_t nextAmbientCount() const { return stage.nextAmbientCount; }
    const PreviousFrame& previousFrame() const { return *stage.previousFrame; }

private:
    const GameStage& stage;
};
