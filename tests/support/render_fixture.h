// Described adapters, a headless window and a capture of the "video" log.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <d3d9.h>
#include <windows.h>

#include "d3d9/seams.h"
#include "tests/support/log_capture.h"
#include "tests/support/test_window.h"
#include "win32/window_seams.h"

namespace kesh::testing {

inline void captureVideoLog() {
    morvale_testing::captureLog({"video"});
}

inline bool logged(const std::string& text) {
    return morvale_testing::logged("video", text);
}

using morvale_testing::makeWindow;
using morvale_testing::resizeClient;

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
