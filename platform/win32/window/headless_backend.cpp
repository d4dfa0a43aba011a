// Windows with geometry and no native side: messages come from the test seams only.
#include "window/window_system.h"

namespace win32 {

namespace {

class HeadlessBackend : public WindowBackend {
public:
    bool create(Window&) override { return true; }
    void destroy(Window&) override {}
    void update(Window&) override {}
    void pump(WindowSystem&) override {}
    RECT desktop() override { return {0, 0, 1024, 768}; }
};

}  // namespace

std::unique_ptr<WindowBackend> makeHeadlessBackend() {
    return std::make_unique<HeadlessBackend>();
}

}  // namespace win32
