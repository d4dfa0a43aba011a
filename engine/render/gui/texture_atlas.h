// Where each image of the packed menu and HUD art lives: a ".tai" index that names, for every
// image, the texture holding it and the image's rectangle in that texture's coordinates.
#pragma once

#include <d3dx9math.h>

#include <istream>
#include <map>
#include <string>

namespace kesh {

struct AtlasEntry {
    std::string texture;  // the file field of the index line with ".dds" appended
    float u = 0.0f;       // top-left corner, texture coordinates
    float v = 0.0f;
    float w = 0.0f;  // width and height, texture coordinates
    float h = 0.0f;
};

class TextureAtlas {
public:
    // Adds every valid line of a ".tai" index to what the atlas holds: "name file u v w h",
    // separated by white space, anything after the sixth field ignored. Empty lines, lines
    // starting with '#' and lines whose six fields cannot be read are skipped; so is a last
    // line without a line feed. A name already known keeps its first entry. Never fails.
    void load(std::istream& in);

    // Case-insensitive for ASCII letters; null for an unknown name.
    const AtlasEntry* find(const std::string& name) const;

    // A point (s, t) of the image's unit square in the texture's coordinates; the image's
    // corners are the mappings of (0, 0) and (1, 1).
    static D3DXVECTOR2 map(const AtlasEntry& entry, const float point[2]);

    std::size_t size() const { return entries.size(); }

private:
    std::map<std::string, AtlasEntry> entries;  // by lower-cased name
};

// The name with each character lower-cased by the C library, as the atlas keys its entries.
std::string lowerCased(const std::string& name);

}  // namespace kesh
