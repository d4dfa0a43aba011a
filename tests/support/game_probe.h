// What the game object keeps to itself, reached by tests and benchmarks through friendship.
#pragma once

#include <string>

#include "engine/render/camera_view.h"
#include "game/app/game.h"
#include "game/app/stages/game_stage.h"

struct GameProbe {
    explicit GameProbe(const Game& game) : game(game) {}

    Stage* stage() const { return game.stage.get(); }
    // The current stage when it is the play stage, else null.
    GameStage* playStage() const { return dynamic_cast<GameStage*>(game.stage.get()); }
    AudioSystem* audio() const { return game.audio.get(); }
    const kesh::CameraView& camera() const { return game.camera; }
    const std::wstring& notice() const { return game.notice; }
    float fps() const { return game.fps; }

private:
    const Game& game;
};
