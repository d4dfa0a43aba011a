// The material, effect and globe textures (each in ".dds" and ".tga" under "texture/hi/").
#pragma once

#include "tools/arttool/art_output.h"

namespace arttool {

// Texture names as the meshes' materials and the effect texts give them, without extension.
namespace tex {
inline const char* const brick = "town/facade_brick";
inline const char* const plaster = "town/facade_plaster";
inline const char* const glass = "town/facade_glass";
inline const char* const roof = "town/roof";
inline const char* const asphalt = "town/asphalt";
inline const char* const street = "town/street";
inline const char* const pavement = "town/pavement";
inline const char* const grass = "town/grass";
inline const char* const stone = "town/wall_stone";
inline const char* const jeep = "car/jeep";
inline const char* const tyre = "car/tyre";
inline const char* const marker = "misc/mercedes";
inline const char* const lampPost = "misc/lamp_post";
inline const char* const panel = "interface/panel";
inline const char* const gauge = "interface/gauge";
inline const char* const needle = "interface/needle";
inline const char* const radar = "interface/radar";
inline const char* const steering = "interface/steering";
inline const char* const signal = "interface/signal";
}  // namespace tex

void makeTextures(const ArtOutput& out);

}  // namespace arttool
