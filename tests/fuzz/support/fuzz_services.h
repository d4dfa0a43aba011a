// The game's process-wide services for fuzz targets: the test fixture's (null device in a
// headless window, every cache over a temporary art folder, the script host with its
// binders), set up on first use and kept for the whole run.
#pragma once

#include "tests/support/services_fixture.h"

namespace fuzz_support {

class Services : public morvale_testing::ServicesTest {
public:
    // Aborts when the services cannot be set up: nothing a target finds would mean anything.
    // The first call chooses the device: the null device, or the drawing backend for a target
    // that draws (over SDL's offscreen driver, which tests/fuzz/run.sh selects).
    static Services& instance(morvale_testing::DeviceKind kind = morvale_testing::DeviceKind::Null);

    using ServicesTest::artRoot;
    using ServicesTest::TearDown;
    using ServicesTest::writeArt;

    using ServicesTest::device;
    using ServicesTest::dx;
    using ServicesTest::effects;
    using ServicesTest::lua;
    using ServicesTest::meshes;
    using ServicesTest::music;
    using ServicesTest::textures;

private:
    explicit Services(morvale_testing::DeviceKind kind) : ServicesTest(kind) {}
    void TestBody() override {}
};

}  // namespace fuzz_support
