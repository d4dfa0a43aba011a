// Which part of which texture a 2D item shows, and how image names become such parts:
// through a texture atlas when there is one, else as the whole texture of that name.
#pragma once

#include <string>

#include "engine/render/gui/texture_atlas.h"
#include "engine/render/texture/texture_loader.h"

namespace kesh {

// A part of a texture: the texture's name as the texture cache takes it, and the top-left
// and bottom-right corners in texture coordinates. A default region names no texture.
struct TextureRegion {
    std::string texture;
    float u0 = 0.0f;
    float v0 = 0.0f;
    float u1 = 1.0f;
    float v1 = 1.0f;
};

// What one sprite shows and how large it is on screen, in pixels. The default frame names
// no texture and has size 0 x 0.
struct SpriteFrame {
    SpriteFrame() = default;
    // The whole texture.
    SpriteFrame(const std::string& name, const int size[2]);
    // uv: u0, v0, u1, v1.
    SpriteFrame(const std::string& name, const int size[2], const float uv[4]);
    SpriteFrame(const TextureRegion& region, const int size[2]);

    std::string texture;
    int width = 0;
    int height = 0;
    float u0 = 0.0f;
    float v0 = 0.0f;
    float u1 = 1.0f;
    float v1 = 1.0f;
};

// Resolves image names; owns neither the cache nor the atlas, which may be null.
class SpriteSource {
public:
    SpriteSource(TextureCache* textures, const TextureAtlas* atlas);

    // The atlas entry of the name as given, else of the name without its extension, else,
    // for a name holding ".dds" (case-sensitive), of the part before it with ".png"; when
    // none is there, the whole texture of the name as given.
    SpriteFrame frame(const std::string& name, const int size[2]) const;
    // The atlas entry of exactly this name (case ignored), else the whole texture.
    TextureRegion region(const std::string& name) const;

    TextureCache* textureCache() const { return textures; }

private:
    const AtlasEntry* lookUp(const std::string& name) const;

    TextureCache* textures;  // for the owners: the lookups load nothing
    const TextureAtlas* atlas;
};

}  // namespace kesh
