#include "game/app/win_main.h"

#include <d3d9.h>
#include <objbase.h>

#include <stdexcept>
#include <string>

#include "engine/core/crash_dump.h"
#include "engine/core/log.h"
#include "engine/core/lua/lua_state.h"
#include "engine/core/paths.h"
#include "engine/core/stream_error.h"
#include "engine/core/strings.h"
#include "engine/render/device/application_window.h"
#include "engine/render/device/device_factory.h"
#include "engine/render/device/dx_device.h"
#include "engine/render/log_lines.h"
#include "game/app/command_line.h"
#include "game/app/game.h"
#include "game/app/game_options.h"
#include "win32/com_ptr.h"

namespace {

using boost::log::logDebug;

constexpr int kIconResource = 107;

// The failure's line on "debug" and its box, which has no owner: the window may be what failed.
void report(const std::wstring& text, const wchar_t* caption) {
    kesh::writeLine(logDebug(), kesh::toNarrow(text));
    MessageBoxW(nullptr, text.c_str(), caption, MB_OK);
}

void warnWindowed(HWND window) {
    MessageBoxW(window, L"Fullscreen mode selection failed. Trying to use windowed mode.",
                L"Warning", MB_OK);
}

// A full-screen mode that the display does not carry out (no window manager, or one that
// ignores the request) fails the device; the game then stays windowed, as when no mode was
// found, rather than drawing a full-screen picture shrunk into its window.
win32::ComPtr<IDirect3DDevice9> createDevice(kesh::DxDeviceFactory& factory, HWND window) {
    if (factory.isFullscreen()) {
        try {
            return factory.createDevice(window);
        } catch (const std::runtime_error& failure) {
            kesh::writeLine(boost::log::logVideo(), failure.what());
            warnWindowed(window);
            factory.selectWindowed();
        }
    }
    return factory.createDevice(window);
}

// Steps from the depth/stencil selection to the end of the message loop; the game, the device
// wrapper and the options are gone when this returns or throws.
void runGame(kesh::DxDeviceFactory& factory, kesh::ApplicationWindow& window,
             win32::ComPtr<IDirect3DDevice9>& device, lua_State* lua,
             const CommandLine& commandLine, const std::wstring& root, int showCommand) {
    if (!factory.selectDepthStencil(24, 0)) {
        throw std::runtime_error("Cannot find compatible deth/stencil surface");
    }
    if (!factory.selectFullscreen(1024, 768, -1, 0)) {
        warnWindowed(window.getWindow());
    }
    // A full-screen mode keeps the refresh rate it was enumerated with: the display offers
    // no other, and asking for one it lacks fails the device.
    device = createDevice(factory, window.getWindow());
    if (!device) {
        throw std::runtime_error("Cannot create device");
    }
    const GameOptions options = gameOptionsFrom(commandLine);
    kesh::DxDevice dxDevice(device.get(), &factory);
    Game game(&dxDevice, lua, window.getWindow(), options, root);
    window.show(showCommand);
    window.setMouseListener(&game);
    window.setMessageHook(&game);
    window.run(&game);
    window.setMouseListener(nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    kesh::installCrashHandler(L"morvale");

    const CommandLine commandLine(kesh::toNarrow(GetCommandLineW()));
    if (optionGiven(commandLine, "log")) {
        boost::log::attachDebuggerOutput();
        boost::log::enableLogs("*");
        boost::log::attachLogFile("*", "GameModule.log");
    }

    const std::wstring exeFolder = kesh::exeDirectory(GetCommandLineW());
    const std::wstring currentFolder = kesh::currentDirectory();
    // Next to the program, whatever folder it was started from.
    const std::wstring root = exeFolder + L"../../proc_art/";
    kesh::writeLine(logDebug(), "  -------------- START --------------");
    kesh::writeLine(logDebug(), "Executable path: ", kesh::toNarrow(exeFolder));
    kesh::writeLine(logDebug(), "Current path   : ", kesh::toNarrow(currentFolder));
    kesh::writeLine(logDebug(), "proc_art path   : ", kesh::toNarrow(root));

    CoInitializeEx(nullptr, 0);
    kesh::LuaStatePtr lua = kesh::openGameLuaState(root);
    win32::ComPtr<IDirect3D9> direct3d(Direct3DCreate9(D3D_SDK_VERSION));
    if (!direct3d) {
        throw std::runtime_error("Direct3DCreate9 failed: Direct3D 9 is not available");
    }
    kesh::DxDeviceFactory factory(direct3d.get());

    kesh::ApplicationWindow window;
    if (!window.create(instance, L"Morvale", 0, 0, 400, 300)) {
        throw std::runtime_error("The game's window cannot be created");
    }
    window.setClientSize(800, 600);
    window.setIcon(LoadIconW(instance, MAKEINTRESOURCEW(kIconResource)), false);
    window.setIcon(LoadIconW(instance, MAKEINTRESOURCEW(kIconResource)), true);

    win32::ComPtr<IDirect3DDevice9> device;
    try {
        runGame(factory, window, device, lua.get(), commandLine, root, showCommand);
    } catch (const kesh::stream::error& failure) {
        report(kesh::toWide(failure.what()), L"stream::error");
        throw;
    } catch (const std::runtime_error& failure) {
        window.setMouseListener(nullptr);
        window.setMessageHook(nullptr);
        device.reset();
        report(L"Application terminating: " + kesh::toWide(failure.what()), L"std::runtime_error");
        throw;
    } catch (const std::exception& failure) {
        // luabind's cast failures and errors: as a runtime error, under their own text.
        window.setMouseListener(nullptr);
        window.setMessageHook(nullptr);
        device.reset();
        report(L"Application terminating: " + kesh::toWide(failure.what()), L"std::exception");
        throw;
    } catch (...) {
        window.setMouseListener(nullptr);
        device.reset();
        report(L"Application terminating: Unknown exception", L"Fatal error");
        direct3d.reset();
        lua.reset();
        CoUninitialize();
        throw;
    }

    device.reset();
    kesh::writeLine(logDebug(), "Successfull exit");
    direct3d.reset();
    lua.reset();
    CoUninitialize();
    return 0;
}
