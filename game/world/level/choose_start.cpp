#include "game/world/level/choose_start.h"

#include <win32/crt.h>
#include <windows.h>

#include <string>

namespace {

bool beginsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

StartChoice chooseStart(const std::vector<kesh::data::LocatorObject>& locators) {
    std::vector<const kesh::data::LocatorObject*> starts;
    std::vector<const kesh::data::LocatorObject*> ends;
    for (const kesh::data::LocatorObject& locator : locators) {
        if (beginsWith(locator.tag, "start")) {
            starts.push_back(&locator);
        } else if (beginsWith(locator.tag, "end")) {
            ends.push_back(&locator);
        }
    }
    StartChoice choice;
    D3DXMatrixIdentity(&choice.start);
    D3DXMatrixIdentity(&choice.end);
    if (starts.empty() || starts.size() != ends.size()) {
        return choice;
    }
    msvcrt_srand(static_cast<unsigned int>(msvcrt_time()));
    LARGE_INTEGER counter{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    const LONGLONG seconds = frequency.QuadPart > 0 ? counter.QuadPart / frequency.QuadPart : 0;
    const unsigned int pick =
        (static_cast<unsigned int>(msvcrt_rand()) + static_cast<unsigned int>(seconds)) %
        static_cast<unsigned int>(starts.size());
    choice.start = starts[pick]->transform;
    choice.end = ends[pick]->transform;
    choice.paired = true;
    return choice;
}
