// The benchmark's meshes drawn by plain OpenGL 3.3 in a window of its own: one program,
// glUniformMatrix4fv and glDrawElementsBaseVertex per draw, nothing cached or checked.
#pragma once

#include <vector>

#include "bench_mesh.h"

struct SDL_Window;

namespace bench {

class BareScene {
public:
    BareScene();
    ~BareScene();
    BareScene(const BareScene&) = delete;
    BareScene& operator=(const BareScene&) = delete;

    bool ready() const { return program_ != 0; }
    void frame();
    // Waits for the context's drawing to end.
    void finish();

private:
    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    unsigned program_ = 0;
    unsigned vertexArray_ = 0;
    unsigned buffers_[2] = {};
    unsigned texture_ = 0;
    int world_ = -1;
    std::vector<Matrix> worlds_ = worldMatrices();
};

// glFinish on whichever context is current (a device's, after its Present).
void finishCurrentContext();

}  // namespace bench
