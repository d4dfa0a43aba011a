// A top-level screen of the program (the videos, the menu, the play stage, the exit
// screen). The game owns one at a time, forwards input to it, lets it draw once a frame and
// asks it after every frame where to go next; stages are deleted through this interface.
#pragma once

class Stage {
public:
    virtual ~Stage() = default;
    virtual void onMouseMove(int x, int y) = 0;
    virtual void onMouseWheel(int delta) = 0;
    virtual void onMouseButton(int button, bool down) = 0;
    // Advances by one frame and draws; called between BeginScene and EndScene.
    virtual void update() = 0;
    // 0 to stay, else the number of the stage to switch to (at the start of the next frame).
    virtual int nextStage() = 0;
    virtual void onKey(int virtualKey) = 0;
};
