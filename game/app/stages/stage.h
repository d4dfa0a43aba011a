// A top-level screen of the program (the videos, the menu, the play stage, the exit
// screen). The game owns one at a time, forwards input to it, lets it draw once a frame and
// asks it after every frame where to go next; stages are deleted through this interface.
#pragma once

// The program's stages by their numbers, which the log's "Activating stage: " lines show.
enum class StageId : int {
    None = 0,  // no switch: the current stage stays
    Menu = 1,
    FirstVideo = 2,
    SecondVideo = 3,
    Play = 4,
    Exit = 5,
};

class Stage {
public:
    virtual ~Stage() = default;
    virtual void onMouseMove(int x, int y) = 0;
    virtual void onMouseWheel(int delta) = 0;
    virtual void onMouseButton(int button, bool down) = 0;
    // Advances by one frame and draws; called between BeginScene and EndScene.
    virtual void update() = 0;
    // None to stay, else the stage to switch to (at the start of the next frame).
    virtual StageId nextStage() = 0;
    virtual void onKey(int virtualKey) = 0;
};
