#include "tests/fuzz/support/fuzz_services.h"

#include <cstdio>
#include <cstdlib>

#include "d3d9/seams.h"
#include "d3dx9/seams.h"
#include "dmusic/test_seam.h"

namespace fuzz_support {

namespace {

Services* made = nullptr;

void tearDown() {
    made->TearDown();
    delete made;
    made = nullptr;
}

}  // namespace

Services& Services::instance(morvale_testing::DeviceKind kind) {
    // Torn down at exit, after the statics the targets made from them, so that the temporary
    // art folder goes too.
    static Services* services = [kind] {
        made = new Services(kind);
        made->SetUp();
        if (made->device == nullptr || made->dx == nullptr || made->lua == nullptr) {
            std::fprintf(stderr, "fuzz services: could not be set up\n");
            std::abort();
        }
        // What the tests record would pile up over millions of inputs.
        d3d9::setDrawRecording(false);
        d3dx9::setTextRecording(false);
        dmusic_test::setRecording(false);
        std::atexit(tearDown);
        return made;
    }();
    return *services;
}

}  // namespace fuzz_support
