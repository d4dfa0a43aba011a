// Test seams and platform hooks of the window layer.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "win32/user.h"

namespace win32 {

enum class WindowBackendKind {
    Automatic,  // SDL2 when its video subsystem starts, else headless
    Sdl,
    Headless
};

// The backend of windows created afterwards.
void useWindowBackend(WindowBackendKind kind);

// Destroys every window (without messages), empties the queue and forgets a posted quit.
void resetWindowSystem();

// The frame drawn around windows with a caption: its side border and caption height.
void setFrameMetrics(int border, int caption);

// User actions, posted as the native backend posts them: a border drag through the given
// client sizes (WM_ENTERSIZEMOVE, one WM_SIZE per size, WM_EXITSIZEMOVE); minimising,
// maximising to a client size and restoring; the close button; keys and the mouse.
void simulateResizeDrag(HWND window, const std::vector<std::pair<int, int>>& clientSizes);
void simulateMinimize(HWND window);
void simulateMaximize(HWND window, int clientWidth, int clientHeight);
void simulateRestore(HWND window);
void simulateClose(HWND window);
void simulateKey(HWND window, WPARAM virtualKey, bool down);
void simulateMouseMove(HWND window, int x, int y);
void simulateMouseButton(HWND window, int button, bool down);
// The window appears under a pointer resting at (x, y) of its client area.
void simulatePointerArrival(HWND window, int x, int y);
// The window gains or loses the keyboard focus (WM_ACTIVATE, and the input hook's report).
void simulateFocus(HWND window, bool focused);

// Posts the quit message once this many PeekMessageW calls have found no message (each is
// one frame of the game's pump); 0 asks for none. The environment variable
// MORVALE_QUIT_AFTER_FRAMES sets the same from outside the process.
void postQuitAfterIdleTurns(long turns);

// The input script named by MORVALE_INPUT_SCRIPT: one event a line, "<frame> <verb> <words>",
// a frame being one PeekMessageW that found nothing (as for the quit above). The window layer
// plays "press|down|up <key>" (a virtual-key name such as ESCAPE, TAB, UP, F1 to F12, or a
// letter or digit), "move <x> <y>", "click <x> <y>" (left button, released a frame later) and
// "button <1..3> down|up" on the first window; other verbs go to the extension below, set by
// another layer of the platform (DirectInput's virtual joysticks); those that come before it
// is set wait for it, and those it cannot play are reported and dropped.
// '#' starts a comment.
using InputScriptExtension = bool (*)(const std::vector<std::string>& words);
void setInputScriptExtension(InputScriptExtension extension);
bool inputScriptActive();
// The same script handed over as text from inside the process: replaces whatever script ran
// before and plays from its frame 1 at the next idle turn; an empty text ends scripted input.
void playInputScript(const std::string& text);

// Native windows created afterwards can carry an OpenGL context (set by a drawing backend
// before the window is made).
void requestOpenGLWindows(bool on);

// The SDL_Window behind a window, for the drawing backends; null for headless windows.
void* sdlWindow(HWND window);

// Whether the display shows the window's client area at this size at the top-left corner
// of the screen, waiting a moment for a window manager to carry out a full-screen request.
// Asks the display server itself: SDL takes a full-screen request as done even where nobody
// carries it out (a bare X server, a window manager that ignores it). When it is not, the
// window is made windowed again at its client size, with no resize message. True for
// headless windows, which have no display.
bool confirmFullscreen(HWND window, int width, int height);

// Waits a moment for the display to show the window at its client size again after it left
// full screen, so that what is drawn next fills it. Nothing for headless windows.
void awaitWindowedSize(HWND window);

// The size of the back buffer a device draws into the window, which the picture is scaled
// from to fill the client area: mouse messages then carry back-buffer pixels, so what is
// drawn under the pointer is what the pointer hits. 0 x 0 when no device draws.
void setBackBufferSize(HWND window, int width, int height);

// Shows a message box through SDL (when a video driver is available) and writes the text
// to standard error; never blocks while a headless backend is in use. While recording is
// on, the box is recorded instead of shown, so no test waits for a click.
void showMessageBoxSdl(const std::wstring& text, const std::wstring& caption);

// The text as a box shows it: SDL's boxes give each line of the text one line on screen, so
// a long line is broken at blanks into lines of at most this many characters (a word longer
// than that keeps its own line).
std::string wrapMessageBoxText(const std::string& utf8Text, size_t columns);

struct RecordedMessageBox {
    std::wstring text;
    std::wstring caption;
};
// Off by default; every test executable turns it on at start.
void setMessageBoxRecording(bool on);
bool messageBoxRecording();
std::vector<RecordedMessageBox> recordedMessageBoxes();
void clearRecordedMessageBoxes();

}  // namespace win32
