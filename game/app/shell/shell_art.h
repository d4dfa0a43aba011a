// The pieces the shell's screens share: the atlas of the shell's art, the skins and sizes of
// its buttons and the 1024 x 768 frame in which its layout is given.
#pragma once

#include <d3d9.h>

#include <string>

#include "engine/render/gui/gui_button.h"
#include "engine/render/gui/sprite_frame.h"
#include "engine/render/gui/texture_atlas.h"
#include "game/app/shell/gui_settings.h"

// Adds the entries of the settings' "shell.tai" to atlas; a file that cannot be opened
// adds none, so every name is then taken as a texture's.
void loadShellAtlas(const GuiSettings& settings, kesh::TextureAtlas& atlas);

// The atlas entries name + "_w", "_b" and "_o" for normal, over and pressed; colours white.
kesh::ButtonSkin shellButtonSkin(const kesh::SpriteSource& source, const std::string& name);

// Every button of the shell in the reference frame: the menus' rows, and the "continue" at
// the bottom right of the full pages (the help page and the map).
inline constexpr int kButtonWidth = 370;
inline constexpr int kButtonHeight = 31;
inline constexpr int kPageContinueButton[4] = {644, 727, kButtonWidth, kButtonHeight};

// Coordinates of the 1024 x 768 reference frame on a viewport: each one multiplied by its
// axis' factor and truncated on its own.
class ReferenceFrame {
public:
    explicit ReferenceFrame(const D3DVIEWPORT9& viewport);

    int x(int reference) const { return static_cast<int>(static_cast<float>(reference) * sx); }
    int y(int reference) const { return static_cast<int>(static_cast<float>(reference) * sy); }
    // left, top, width, height.
    void rect(const int reference[4], int out[4]) const;

    float sx;
    float sy;
};
