// Linked into every test executable: before any test runs, every test hook of the platform
// layer is turned on (the game leaves them off and pays nothing for them), and the process
// gets drivers that need no display, no sound card and no one to click, unless the
// environment already names them. A test that wants the game's behaviour turns a hook off
// itself.
//
// An executable links only the platform libraries it tests, so the hooks are weak
// references: a hook whose library is not linked in stays null and is skipped. Each hook is
// defined in the same object file as the flag its recording code reads, so whenever the
// code a hook steers is linked in, so is the hook.
#include <cstdlib>

namespace d3d9 {
[[gnu::weak]] void setDrawRecording(bool on);
[[gnu::weak]] void setDescribedAdapters(bool on);
[[gnu::weak]] void setModeCallRecording(bool on);
}  // namespace d3d9
namespace d3dx9 {
[[gnu::weak]] void setTextRecording(bool on);
}
namespace dmusic_test {
[[gnu::weak]] void setRecording(bool enabled);
}
namespace win32 {
[[gnu::weak]] void setMessageBoxRecording(bool on);
}

namespace {

template <typename Hook>
void turnOn(Hook* hook) {
    if (hook != nullptr) {
        hook(true);
    }
}

struct TestStartUp {
    TestStartUp() {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("ALSOFT_DRIVERS", "null", 0);
        turnOn(&d3d9::setDrawRecording);
        turnOn(&d3d9::setDescribedAdapters);
        turnOn(&d3d9::setModeCallRecording);
        turnOn(&d3dx9::setTextRecording);
        turnOn(&dmusic_test::setRecording);
        turnOn(&win32::setMessageBoxRecording);
    }
};

const TestStartUp startUp;

}  // namespace
