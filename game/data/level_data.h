// The records of a level file: everything placed in a level, read once and kept as is.
#pragma once

#include <d3dx9math.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/archive.h"

namespace kesh {
namespace data {

// The head every placed object begins with.
struct PlacedObject {
    std::uint32_t id = 0;
    std::string name;
    D3DXMATRIX transform;  // world placement, translation in the fourth row
    std::uint16_t flags = 0;
};

struct StaticObject : PlacedObject {
    // Bit of flags marking a solid static.
    static constexpr std::uint16_t solidFlag = 4;

    std::string mesh;
    std::vector<std::string> lightmaps;  // the first names the lightmap; may be empty
    std::uint32_t extra = 0;             // stored from version 1 on
};

struct EffectObject : PlacedObject {
    // Bit of flags marking an enabled effect locator.
    static constexpr std::uint16_t enabledFlag = 1;

    std::string effect;
};

struct WaterObject : PlacedObject {
    std::string mesh;
    std::vector<std::string> textures;
};

struct TreeObject : PlacedObject {
    std::string mesh;
    std::vector<std::string> textures;
};

struct LocatorObject : PlacedObject {
    std::string tag;  // stored from version 1 on, ahead of the head
};

struct DecalObject : PlacedObject {
    std::string mesh;
    std::vector<std::string> textures;
    std::uint32_t kind = 0;
    std::string param1;
    std::string param2;
};

struct LevelData {
    std::string name;
    std::vector<StaticObject> statics;
    std::vector<EffectObject> effects;
    std::vector<WaterObject> waters;
    std::vector<TreeObject> trees;
    std::vector<LocatorObject> locators;
    std::vector<DecalObject> decals;
};

void readBody(InputArchive& archive, StaticObject& value, std::uint32_t version);
void readBody(InputArchive& archive, EffectObject& value, std::uint32_t version);
void readBody(InputArchive& archive, WaterObject& value, std::uint32_t version);
void readBody(InputArchive& archive, TreeObject& value, std::uint32_t version);
void readBody(InputArchive& archive, LocatorObject& value, std::uint32_t version);
void readBody(InputArchive& archive, DecalObject& value, std::uint32_t version);
void readBody(InputArchive& archive, LevelData& value, std::uint32_t version);

// The whole level file: header and level record. Throws kesh::stream::error (code 1 also
// when the data ends inside the record) or kesh::serialization::version_error; what was
// read before the failure stays in level.
void readLevelFile(StreamReader& reader, LevelData& level);

}  // namespace data

namespace serialization {
template <>
struct supported_version<data::StaticObject> : std::integral_constant<std::uint32_t, 1> {};
template <>
struct supported_version<data::LocatorObject> : std::integral_constant<std::uint32_t, 1> {};
}  // namespace serialization

namespace data {
using serialization::readVersioned;
}  // namespace data

}  // namespace kesh
