#include "tools/artlib/level_writer.h"

#include <string>

namespace artlib {

namespace {

using namespace kesh::data;

class LevelWriter {
public:
    LevelWriter(StreamWriter& out, const LevelWriteOptions& options)
        : out_(out), options_(options) {}

    void level(const LevelData& value) {
        version(options_.levelData, "kesh::data::LevelData");
        out_.writeString(value.name);
        list(value.statics, options_.staticObject, "kesh::data::StaticObject",
             [this](const StaticObject& item, std::uint32_t v) { staticObject(item, v); });
        list(value.effects, options_.effectObject, "kesh::data::EffectObject",
             [this](const EffectObject& item, std::uint32_t) {
                 head(item);
                 out_.writeString(item.effect);
             });
        list(value.waters, options_.waterObject, "kesh::data::WaterObject",
             [this](const WaterObject& item, std::uint32_t) { meshAndTextures(item); });
        list(value.trees, options_.treeObject, "kesh::data::TreeObject",
             [this](const TreeObject& item, std::uint32_t) { meshAndTextures(item); });
        list(value.locators, options_.locatorObject, "kesh::data::LocatorObject",
             [this](const LocatorObject& item, std::uint32_t v) {
                 if (v >= 1) {
                     out_.writeString(item.tag);
                 }
                 head(item);
             });
        list(value.decals, options_.decalObject, "kesh::data::DecalObject",
             [this](const DecalObject& item, std::uint32_t) {
                 meshAndTextures(item);
                 out_.writeU32(item.kind);
                 out_.writeString(item.param1);
                 out_.writeString(item.param2);
             });
    }

private:
    void version(std::uint32_t number, const char* className) {
        out_.writeVersion(number, options_.classNames ? className : "");
    }

    template <class T, class WriteBody>
    void list(const std::vector<T>& items, std::uint32_t itemVersion, const char* className,
              WriteBody writeBody) {
        version(0, "std::vector");
        out_.writeU32(static_cast<std::uint32_t>(items.size()));
        for (const T& item : items) {
            version(itemVersion, className);
            writeBody(item, itemVersion);
        }
    }

    void strings(const std::vector<std::string>& values) {
        out_.writeStringVector(values, options_.classNames ? "std::vector" : "");
    }

    void head(const PlacedObject& value) {
        out_.writeU32(value.id);
        out_.writeString(value.name);
        out_.writeMatrix(value.transform, options_.classNames ? "D3DXMATRIX" : "");
        out_.writeU16(value.flags);
    }

    void staticObject(const StaticObject& value, std::uint32_t v) {
        head(value);
        out_.writeString(value.mesh);
        strings(value.lightmaps);
        if (v >= 1) {
            out_.writeU32(value.extra);
        }
    }

    template <class T>
    void meshAndTextures(const T& value) {
        head(value);
        out_.writeString(value.mesh);
        strings(value.textures);
    }

    StreamWriter& out_;
    const LevelWriteOptions& options_;
};

}  // namespace

void writeLevelData(StreamWriter& out, const LevelData& level, const LevelWriteOptions& options) {
    LevelWriter(out, options).level(level);
}

std::vector<std::uint8_t> levelFileBytes(const LevelData& level, const LevelWriteOptions& options) {
    StreamWriter out;
    out.writeHeader();
    writeLevelData(out, level, options);
    return out.bytes();
}

}  // namespace artlib
