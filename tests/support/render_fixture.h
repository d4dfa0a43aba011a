// Described adapters, a headless window and a capture of the "video" log.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <d3d9.h>
#include <windows.h>

#include "d3d9/seams.h"
#include "engine/core/log.h"
#include "tests/support/test_window.h"
#include "win32/window_seams.h"

namespace kesh::testing {

inline std::vector<std::string>& videoLines() {
    static std::vector<std::string> lines;
    return lines;
}

inline void captureVideoLog() {
    static bool attached = false;
    if (!attached) {
        auto& manager = boost::log::LogManager::instance();
        manager.addAppender(
            "video",
            [](const std::string&, const std::string& text) { videoLines().push_back(text); }, 0);
        manager.setCaching(false, 0);
        attached = true;
    }
    videoLines().clear();
}

inline bool logged(const std::string& text) {
    for (const std::string& line : videoLines()) {
        if (line == text + "\n") {
            return true;
        }
    }
    return false;
}

using morvale_testing::makeWindow;

inline void resizeClient(HWND window, int clientWidth, int clientHeight) {
    RECT rect{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&rect, WS_OVERLAPPEDWINDOW, FALSE, 0);
    MoveWindow(window, 0, 0, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

inline d3d9::AdapterDescription adapterWith(bool pure, DWORD vertexShader) {
    d3d9::AdapterDescription adapter = d3d9::defaultAdapter();
    adapter.caps.DevCaps = pure ? D3DDEVCAPS_PUREDEVICE : 0;
    adapter.caps.VertexShaderVersion = vertexShader;
    return adapter;
}

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        win32::useWindowBackend(win32::WindowBackendKind::Headless);
        captureVideoLog();
    }
    void TearDown() override {
        d3d9::setAdapters({});
        win32::resetWindowSystem();
    }
};

}  // namespace kesh::testing
