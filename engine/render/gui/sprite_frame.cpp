#include "engine/render/gui/sprite_frame.h"

namespace kesh {
namespace {

TextureRegion regionOf(const AtlasEntry& entry) {
    static constexpr float kTopLeft[2] = {0.0f, 0.0f};
    static constexpr float kBottomRight[2] = {1.0f, 1.0f};
    const D3DXVECTOR2 topLeft = TextureAtlas::map(entry, kTopLeft);
    const D3DXVECTOR2 bottomRight = TextureAtlas::map(entry, kBottomRight);
    return TextureRegion{entry.texture, topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

}  // namespace

SpriteFrame::SpriteFrame(const std::string& name, const int size[2])
    : texture(name), width(size[0]), height(size[1]) {}

SpriteFrame::SpriteFrame(const std::string& name, const int size[2], const float uv[4])
    : texture(name), width(size[0]), height(size[1]), u0(uv[0]), v0(uv[1]), u1(uv[2]), v1(uv[3]) {}

SpriteFrame::SpriteFrame(const TextureRegion& region, const int size[2])
    : texture(region.texture),
      width(size[0]),
      height(size[1]),
      u0(region.u0),
      v0(region.v0),
      u1(region.u1),
      v1(region.v1) {}

SpriteSource::SpriteSource(TextureCache* textureCache, const TextureAtlas* textureAtlas)
    : textures(textureCache), atlas(textureAtlas) {}

const AtlasEntry* SpriteSource::lookUp(const std::string& name) const {
    if (const AtlasEntry* entry = atlas->find(name)) {
        return entry;
    }
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        if (const AtlasEntry* entry = atlas->find(name.substr(0, dot))) {
            return entry;
        }
    }
    const std::size_t dds = name.find(".dds");
    if (dds != std::string::npos) {
        return atlas->find(name.substr(0, dds) + ".png");
    }
    return nullptr;
}

SpriteFrame SpriteSource::frame(const std::string& name, const int size[2]) const {
    const AtlasEntry* entry = atlas != nullptr ? lookUp(name) : nullptr;
    if (entry == nullptr) {
        return SpriteFrame(name, size);
    }
    return SpriteFrame(regionOf(*entry), size);
}

TextureRegion SpriteSource::region(const std::string& name) const {
    const AtlasEntry* entry = atlas != nullptr ? atlas->find(name) : nullptr;
    if (entry == nullptr) {
        return TextureRegion{name, 0.0f, 0.0f, 1.0f, 1.0f};
    }
    return regionOf(*entry);
}

}  // namespace kesh
