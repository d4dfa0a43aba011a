// A time as minutes and seconds ("mm:ss" in glyphs of the shell's atlas) over a background
// picture: the play stage's countdown.
#pragma once

#include <memory>
#include <string>

#include "engine/render/dx_device.h"
#include "engine/render/gui_root.h"
#include "engine/render/sprite_frame.h"
#include "engine/render/texture_atlas.h"
#include "game/app/gui_settings.h"

class GuiNumberDisplay {
public:
    static constexpr int kBackgroundWidth = 172;
    static constexpr int kBackgroundHeight = 32;
    static constexpr int kGlyphSize = 16;
    static constexpr int kGlyphTop = 25;
    static constexpr int kFirstGlyphLeft = 20;

    GuiNumberDisplay(kesh::DxDevice* device, GuiSettings settings,
                     const std::string& backgroundName);

    // Inside the device's scene. Negative times (and NaN) show 00:00; minutes stop at 99.
    void draw(double seconds);

    const kesh::SpriteFrame& backgroundFrame() const { return background; }

private:
    // The atlas is held on the heap: the source keeps its address.
    std::unique_ptr<kesh::TextureAtlas> atlas;
    std::unique_ptr<kesh::SpriteSource> source;
    std::unique_ptr<kesh::GuiRoot> root;
    kesh::SpriteFrame background;
    GuiSettings settings;
};

// The glyph names of the time's five positions: minute tens and units, "doublePoint",
// second tens and units.
struct ClockGlyphs {
    const char* names[5];
};
ClockGlyphs clockGlyphs(double seconds);
