// What the effect seams ask of effects being created.
#pragma once

#include <string>

namespace d3dx9::fx {

bool compileFailureForced(const std::string& name);
bool validationFailureForced(const std::string& name);

}  // namespace d3dx9::fx
