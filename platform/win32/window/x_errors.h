// X errors while the game runs under SDL's x11 driver. SDL's own handler gives the display
// mode back from inside Xlib's error callback, with requests of its own whose replies Xlib
// then waits for on itself (a hang in the middle of a buffer swap), and ends in Xlib's
// default handler, which exits. Here an error makes no request: it is noted, and the next
// pump of the window system closes every window, as a player closing them would, so the
// game ends its usual way and gives the mode back. A request fails once another client has
// destroyed the game's window, say.
#pragma once

namespace win32 {

class WindowSystem;

// Replaces SDL's handlers; called once SDL's x11 driver is up (nothing under other drivers).
void catchXErrors();

// When an X error was noted since the last call: reports it on standard error and posts
// WM_CLOSE to every window.
void closeWindowsAfterXError(WindowSystem& system);

// Before SDL destroys a window that another client destroyed already: SDL hides a window
// before destroying it and waits for the server to say it is hidden, which the server
// never says of a window it no longer has. The wait is given its answer.
void answerHideOfLostWindow(void* sdlWindow);

// Errors of the calling thread's requests are not the game's while this lives (a helper's
// own connection asking about a window that may go at any moment).
class QuietXErrors {
public:
    QuietXErrors();
    ~QuietXErrors();
    QuietXErrors(const QuietXErrors&) = delete;
    QuietXErrors& operator=(const QuietXErrors&) = delete;

private:
    bool wasQuiet_;
};

}  // namespace win32
