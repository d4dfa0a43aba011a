// The program's start: the arguments go to the kernel layer for GetCommandLineW, the devices
// get OpenGL when the machine has it, then the game runs as it would from Windows.
#include <d3d9/drawing.h>
#include <windows.h>

#include <cstdio>

#include "game/app/win_main.h"
#include "win32/process.h"

int main(int argc, char** argv) {
    win32::recordCommandLine(argc, argv);
    // Before the window exists: it must be able to carry the context.
    const d3d9::BackendChoice backend = d3d9::chooseBackend();
    if (backend.kind != d3d9::BackendKind::Gl) {
        std::fprintf(stderr, "morvale: no OpenGL 3.3 (%s); nothing will be drawn\n",
                     backend.reason.c_str());
    }
    return WinMain(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOWDEFAULT);
}
