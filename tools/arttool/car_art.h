// The car's meshes and object bundle "levels/car.slev", the target marker "mercedes.wfm",
// the meshes the effect texts name, and the globe "sphere.x".
#pragma once

#include "tools/arttool/art_output.h"

namespace arttool {

// Names shared with config/car.lua.
namespace car_objects {
inline const char* const body = "jeep_body";
inline const char* const antenna = "jeep_antenna";
inline const char* const wheels[4] = {"jeep_wheel_fl", "jeep_wheel_fr", "jeep_wheel_rl",
                                      "jeep_wheel_rr"};
}  // namespace car_objects

void makeCarArt(const ArtOutput& out);

}  // namespace arttool
