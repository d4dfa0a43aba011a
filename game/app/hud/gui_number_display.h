// A time as minutes and seconds ("mm:ss" in glyphs of the shell's atlas) over a background
// picture: the play stage's countdown.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "engine/render/device/dx_device.h"
#include "engine/render/gui/gui_root.h"
#include "engine/render/gui/sprite_frame.h"
#include "game/app/shell/gui_settings.h"

// The glyphs of the time's five positions: minute tens and units, the colon, second tens
// and units. Glyphs 0 to 9 are the digits, kColonGlyph the colon.
constexpr int kColonGlyph = 10;
constexpr int kGlyphCount = 11;
struct ClockGlyphs {
    int glyphs[5];
};
ClockGlyphs clockGlyphs(double seconds);
// The atlas image of a glyph: "0" to "9", "doublePoint".
const char* glyphName(int glyph);

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
    std::unique_ptr<kesh::GuiRoot> root;
    kesh::SpriteFrame background;
    std::array<kesh::SpriteFrame, kGlyphCount> glyphFrames;
    GuiSettings settings;
};
