#include "registry.h"

#include <mutex>
#include <unordered_map>

namespace dmusic {
namespace {

struct Registry {
    std::mutex mutex;
    std::unordered_map<const void*, Kind> objects;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

}  // namespace

void registerObject(const void* object, Kind kind) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.objects[object] = kind;
}

void unregisterObject(const void* object) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.objects.erase(object);
}

bool isLive(const void* object, Kind kind) {
    if (object == nullptr) {
        return false;
    }
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    const auto found = r.objects.find(object);
    return found != r.objects.end() && found->second == kind;
}

int liveObjectCount() {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return static_cast<int>(r.objects.size());
}

}  // namespace dmusic
