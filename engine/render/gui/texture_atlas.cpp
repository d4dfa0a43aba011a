#include "engine/render/gui/texture_atlas.h"

#include <cctype>
#include <sstream>

namespace kesh {

std::string lowerCased(const std::string& name) {
    std::string lower(name);
    for (char& c : lower) {
        // tolower takes an unsigned char's value: a byte above 127 passed as a negative char
        // would be undefined.
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}

void TextureAtlas::load(std::istream& in) {
    std::string line;
    while (std::getline(in, line)) {
        // getline stops at the end of the stream without a line feed: that last line is
        // not part of the index.
        if (in.eof()) {
            break;
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        std::string name, file;
        AtlasEntry entry;
        if (!(fields >> name >> file >> entry.u >> entry.v >> entry.w >> entry.h)) {
            continue;
        }
        entry.texture = file + ".dds";
        entries.insert({lowerCased(name), std::move(entry)});
    }
}

const AtlasEntry* TextureAtlas::find(const std::string& name) const {
    const auto found = entries.find(lowerCased(name));
    return found == entries.end() ? nullptr : &found->second;
}

D3DXVECTOR2 TextureAtlas::map(const AtlasEntry& entry, const float point[2]) {
    return D3DXVECTOR2(entry.u + entry.w * point[0], entry.v + entry.h * point[1]);
}

}  // namespace kesh
