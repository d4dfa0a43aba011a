#include "game/app/hud/gui_number_display.h"

#include <cstdlib>
#include <limits>
#include <utility>

#include "engine/render/gui/texture_atlas.h"
#include "engine/render/texture/texture_loader.h"
#include "game/app/shell/shell_art.h"

namespace {

const char* const kGlyphNames[kGlyphCount] = {"0", "1", "2", "3", "4",          "5",
                                              "6", "7", "8", "9", "doublePoint"};

// A value outside 0 to 9 shows "0".
int digit(int value) {
    return value >= 0 && value <= 9 ? value : 0;
}

}  // namespace

ClockGlyphs clockGlyphs(double seconds) {
    // Clamped while still a double: converting a time beyond the range of int (or NaN)
    // would be undefined.
    constexpr double kLargest = static_cast<double>(std::numeric_limits<int>::max());
    if (!(seconds > 0.0)) {
        seconds = 0.0;
    } else if (seconds > kLargest) {
        seconds = kLargest;
    }
    const int t = static_cast<int>(seconds);
    int minutes = std::abs(t / 60);
    if (minutes > 99) {
        minutes = 99;
    }
    const int secs = std::abs(t % 60);
    return ClockGlyphs{{digit((minutes / 10) % 10), digit(minutes % 10), kColonGlyph,
                        digit((secs / 10) % 10), digit(secs % 10)}};
}

const char* glyphName(int glyph) {
    return kGlyphNames[glyph >= 0 && glyph < kGlyphCount ? glyph : 0];
}

GuiNumberDisplay::GuiNumberDisplay(kesh::DxDevice* device, GuiSettings settingsGiven,
                                   const std::string& backgroundName)
    : settings(std::move(settingsGiven)) {
    kesh::TextureAtlas atlas;
    loadShellAtlas(settings, atlas);
    const kesh::SpriteSource source(kesh::theTextureCache, &atlas);
    root = std::make_unique<kesh::GuiRoot>(device, settings.effect);
    const int size[2] = {kBackgroundWidth, kBackgroundHeight};
    background = source.frame(backgroundName, size);
    // The frames are resolved once: the atlas never changes, and a draw looks nothing up.
    const int glyphSize[2] = {kGlyphSize, kGlyphSize};
    for (int glyph = 0; glyph < kGlyphCount; ++glyph) {
        glyphFrames[glyph] = source.frame(kGlyphNames[glyph], glyphSize);
    }
}

void GuiNumberDisplay::draw(double seconds) {
    static constexpr float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const ClockGlyphs glyphs = clockGlyphs(seconds);
    kesh::SpriteBatch* batch = root->spriteBatch();
    batch->clear();
    batch->addTintedSprite(0, 0, 0, background, kWhite);
    for (int i = 0; i < 5; ++i) {
        batch->addTintedSprite(kFirstGlyphLeft + i * kGlyphSize, kGlyphTop, 0,
                               glyphFrames[glyphs.glyphs[i]], kWhite);
    }
    batch->flush();
    root->render();
}
