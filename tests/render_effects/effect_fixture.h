// A DxDevice on a null device, a folder of effect files and a capture of the "resource" log.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/support/log_capture.h"
#include "tests/support/render_fixture.h"
#include "tests/support/services_fixture.h"

namespace kesh::testing {

// The shared fixture's window and device without its services, the "video" and "resource"
// logs captured, and the described adapters reset afterwards.
class EffectDeviceTest : public morvale_testing::ServicesTest {
protected:
    EffectDeviceTest() { publishesServices = false; }

    void SetUp() override {
        ServicesTest::SetUp();
        morvale_testing::captureLog({"video", "resource"});
        folder = artRoot();
    }

    void writeFile(const std::string& name, const std::string& text) { writeArt(name, text); }
    bool loggedContaining(const std::string& part) const {
        return morvale_testing::loggedContaining("resource", part);
    }
    DWORD renderState(D3DRENDERSTATETYPE state) {
        DWORD value = 0;
        device->GetRenderState(state, &value);
        return value;
    }

    // The art folder, where writeFile puts its files.
    std::string folder;
};

// Each reference count as AddRef then Release reveal it.
inline ULONG references(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

}  // namespace kesh::testing
