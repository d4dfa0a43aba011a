#include "game/app/shell/shell_art.h"

#include <fstream>

#include "engine/core/strings.h"

void loadShellAtlas(const GuiSettings& settings, kesh::TextureAtlas& atlas) {
    std::ifstream file(kesh::toNarrow(settings.textureFolder + L"shell.tai"));
    atlas.load(file);
}

kesh::ButtonSkin shellButtonSkin(const kesh::SpriteSource& source, const std::string& name) {
    kesh::ButtonSkin skin;
    skin.regions[kesh::ButtonSkin::Normal] = source.region(name + "_w");
    skin.regions[kesh::ButtonSkin::Over] = source.region(name + "_b");
    skin.regions[kesh::ButtonSkin::Pressed] = source.region(name + "_o");
    return skin;
}

ReferenceFrame::ReferenceFrame(const D3DVIEWPORT9& viewport)
    : sx(static_cast<float>(viewport.Width) / 1024.0f),
      sy(static_cast<float>(viewport.Height) / 768.0f) {}

void ReferenceFrame::rect(const int reference[4], int out[4]) const {
    out[0] = x(reference[0]);
    out[1] = y(reference[1]);
    out[2] = x(reference[2]);
    out[3] = y(reference[3]);
}
