#include "effect_seams_state.h"

#include <strings.h>
#include <set>

#include "d3dx9/effect_seams.h"
#include "effect_object.h"

namespace d3dx9 {
namespace {

struct Caseless {
    bool operator()(const std::string& a, const std::string& b) const {
        return ::strcasecmp(a.c_str(), b.c_str()) < 0;
    }
};

std::set<std::string, Caseless>& compileFailures() {
    static std::set<std::string, Caseless> names;
    return names;
}

std::set<std::string, Caseless>& validationFailures() {
    static std::set<std::string, Caseless> names;
    return names;
}

std::string fileNameOf(const std::string& name) {
    const std::size_t slash = name.find_last_of("/\\");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace

EffectCalls effectCalls(ID3DXEffect* effect) {
    if (auto* ours = dynamic_cast<fx::Effect*>(effect)) {
        return ours->calls();
    }
    return EffectCalls();
}

void failEffectCompile(const std::string& name) {
    compileFailures().insert(name);
}
void failEffectValidation(const std::string& name) {
    validationFailures().insert(name);
}

void clearEffectFailures() {
    compileFailures().clear();
    validationFailures().clear();
}

namespace fx {

// Asked at every creation: nothing is looked up (or copied) while no test forces failures.
bool compileFailureForced(const std::string& name) {
    return !compileFailures().empty() && compileFailures().count(fileNameOf(name)) != 0;
}

bool validationFailureForced(const std::string& name) {
    return !validationFailures().empty() && validationFailures().count(fileNameOf(name)) != 0;
}

}  // namespace fx
}  // namespace d3dx9
