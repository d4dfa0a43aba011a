// An OpenGL 3.3 core context on an SDL window, and the check that one can be made at all.
#pragma once

#include <string>

struct SDL_Window;

namespace d3d9::gl {

class GlContext {
public:
    // An empty context; create() makes the real one.
    GlContext() = default;
    ~GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    // False (with the reason in error) when the window cannot carry a 3.3 core context.
    bool create(SDL_Window* window, std::string& error);
    bool valid() const { return context_ != nullptr; }
    SDL_Window* window() const { return window_; }
    // Makes the context current on its window; false once the window is gone.
    bool makeCurrent() const;
    // Whether this was the last context made current by any GlContext of the process
    // (nothing else here makes contexts current).
    bool lastMadeCurrent() const { return lastMadeCurrent_ == this; }
    void setSwapInterval(int interval) const;
    void swap() const;
    void drawableSize(int& width, int& height) const;

private:
    static const GlContext* lastMadeCurrent_;

    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
};

// Asks SDL for 3.3 core contexts on windows made afterwards.
void requestCoreContextAttributes();

// Whether a 3.3 core context can be made here, by making one on a hidden window; the
// reason when it cannot.
bool probeGlContext(std::string& reason);

}  // namespace d3d9::gl
