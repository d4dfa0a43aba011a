#include "core/screenshots.h"

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "d3d9/drawing.h"

namespace d3d9 {

namespace {

struct Screenshots {
    std::set<unsigned long> presents;
    std::string folder = ".";
    unsigned long count = 0;
};

Screenshots load() {
    Screenshots shots;
    const char* list = std::getenv("MORVALE_SCREENSHOT_PRESENTS");
    if (list == nullptr) {
        return shots;
    }
    for (const char* at = list; *at != '\0';) {
        char* end = nullptr;
        const unsigned long present = std::strtoul(at, &end, 10);
        if (end == at) {
            ++at;
            continue;
        }
        shots.presents.insert(present);
        at = end;
    }
    if (const char* folder = std::getenv("MORVALE_SCREENSHOT_DIR")) {
        shots.folder = folder;
    }
    return shots;
}

}  // namespace

void noteScreenshotPresent(IDirect3DDevice9* device) {
    static Screenshots shots = load();
    if (shots.presents.empty()) {
        return;
    }
    const unsigned long present = ++shots.count;
    if (shots.presents.count(present) == 0) {
        return;
    }
    BackBufferImage image;
    char name[32];
    std::snprintf(name, sizeof name, "/present_%05lu.png", present);
    if (!readBackBuffer(device, image) || !writePng(image, shots.folder + name)) {
        std::fprintf(stderr, "screenshot of present %lu not written\n", present);
    }
}

}  // namespace d3d9
