#include "game/data/level_data.h"

namespace kesh {
namespace data {

namespace {

void readHead(InputArchive& archive, PlacedObject& value) {
    archive.reader->readU32(&value.id);
    archive.reader->readString(value.name);
    readVersioned(archive, value.transform);
    archive.reader->readU16(&value.flags);
}

template <class T>
void readMeshAndTextures(InputArchive& archive, T& value) {
    readHead(archive, value);
    archive.reader->readString(value.mesh);
    readVersioned(archive, value.textures);
}

}  // namespace

void readBody(InputArchive& archive, StaticObject& value, std::uint32_t version) {
    readHead(archive, value);
    archive.reader->readString(value.mesh);
    readVersioned(archive, value.lightmaps);
    if (version >= 1) {
        archive.reader->readU32(&value.extra);
    }
}

void readBody(InputArchive& archive, EffectObject& value, std::uint32_t /*version*/) {
    readHead(archive, value);
    archive.reader->readString(value.effect);
}

void readBody(InputArchive& archive, WaterObject& value, std::uint32_t /*version*/) {
    readMeshAndTextures(archive, value);
}

void readBody(InputArchive& archive, TreeObject& value, std::uint32_t /*version*/) {
    readMeshAndTextures(archive, value);
}

void readBody(InputArchive& archive, LocatorObject& value, std::uint32_t version) {
    if (version >= 1) {
        archive.reader->readString(value.tag);
    }
    readHead(archive, value);
}

void readBody(InputArchive& archive, DecalObject& value, std::uint32_t /*version*/) {
    readMeshAndTextures(archive, value);
    archive.reader->readU32(&value.kind);
    archive.reader->readString(value.param1);
    archive.reader->readString(value.param2);
}

void readBody(InputArchive& archive, LevelData& value, std::uint32_t /*version*/) {
    archive.reader->readString(value.name);
    readVersioned(archive, value.statics);
    readVersioned(archive, value.effects);
    readVersioned(archive, value.waters);
    readVersioned(archive, value.trees);
    readVersioned(archive, value.locators);
    readVersioned(archive, value.decals);
}

void readLevelFile(StreamReader& reader, LevelData& level) {
    serialization::readTopLevel(reader, level);
}

}  // namespace data
}  // namespace kesh
