#include "gl/gl_context.h"

#include <SDL.h>

#include "gl/gl_api.h"
#include "win32/sdl_video.h"

namespace d3d9::gl {

void requestCoreContextAttributes() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // The back buffer with its depth lives in a framebuffer object of the backend.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
}

const GlContext* GlContext::lastMadeCurrent_ = nullptr;

GlContext::~GlContext() {
    if (lastMadeCurrent_ == this) {
        lastMadeCurrent_ = nullptr;
    }
    if (context_ != nullptr) {
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    }
}

bool GlContext::create(SDL_Window* window, std::string& error) {
    if (window == nullptr) {
        error = "the window has no native window that can draw";
        return false;
    }
    if ((SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL) == 0) {
        error = "the window was made without OpenGL";
        return false;
    }
    requestCoreContextAttributes();
    // A new context is made current: whichever was before no longer is.
    lastMadeCurrent_ = nullptr;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        error = std::string("cannot create an OpenGL 3.3 core context: ") + SDL_GetError();
        return false;
    }
    GLint major = 0;
    GLint minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    if (major < 3 || (major == 3 && minor < 3)) {
        SDL_GL_DeleteContext(context);
        error =
            "OpenGL " + std::to_string(major) + "." + std::to_string(minor) + " is older than 3.3";
        return false;
    }
    window_ = window;
    context_ = context;
    lastMadeCurrent_ = this;
    return true;
}

bool GlContext::makeCurrent() const {
    if (context_ == nullptr) {
        return false;
    }
    // Making a current context current again may cost a flush.
    const bool made =
        (SDL_GL_GetCurrentContext() == context_ && SDL_GL_GetCurrentWindow() == window_) ||
        SDL_GL_MakeCurrent(window_, static_cast<SDL_GLContext>(context_)) == 0;
    lastMadeCurrent_ = made ? this : nullptr;
    return made;
}

void GlContext::setSwapInterval(int interval) const {
    SDL_GL_SetSwapInterval(interval);
}

void GlContext::swap() const {
    SDL_GL_SwapWindow(window_);
}

void GlContext::drawableSize(int& width, int& height) const {
    SDL_GL_GetDrawableSize(window_, &width, &height);
}

bool probeGlContext(std::string& reason) {
    if (!win32::startSdlVideo()) {
        reason = std::string("no video driver: ") + SDL_GetError();
        return false;
    }
    requestCoreContextAttributes();
    bool usable = false;
    SDL_Window* window =
        SDL_CreateWindow("probe", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        reason = std::string("no OpenGL window: ") + SDL_GetError();
    } else {
        GlContext context;
        usable = context.create(window, reason);
        if (usable) {
            SDL_GL_MakeCurrent(window, nullptr);
        }
    }
    // The context goes before its window.
    if (window != nullptr) {
        SDL_DestroyWindow(window);
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return usable;
}

}  // namespace d3d9::gl
