#include "game/app/gui_number_display.h"

#include <cstdlib>
#include <limits>
#include <utility>

#include "engine/render/texture_loader.h"
#include "game/app/shell_art.h"

namespace {

const char* const kDigitNames[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};

const char* digitName(int digit) {
    return digit >= 0 && digit <= 9 ? kDigitNames[digit] : kDigitNames[0];
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
    return ClockGlyphs{{digitName((minutes / 10) % 10), digitName(minutes % 10), "doublePoint",
                        digitName((secs / 10) % 10), digitName(secs % 10)}};
}

GuiNumberDisplay::GuiNumberDisplay(kesh::DxDevice* device, GuiSettings settingsGiven,
                                   const std::string& backgroundName)
    : atlas(std::make_unique<kesh::TextureAtlas>()), settings(std::move(settingsGiven)) {
    loadShellAtlas(settings, *atlas);
    source = std::make_unique<kesh::SpriteSource>(kesh::theTextureCache, atlas.get());
    root = std::make_unique<kesh::GuiRoot>(device, settings.effect);
    const int size[2] = {kBackgroundWidth, kBackgroundHeight};
    background = source->frame(backgroundName, size);
}

void GuiNumberDisplay::draw(double seconds) {
    static constexpr float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    static constexpr int kGlyph[2] = {kGlyphSize, kGlyphSize};
    const ClockGlyphs glyphs = clockGlyphs(seconds);
    kesh::SpriteBatch* batch = root->spriteBatch();
    batch->clear();
    batch->addTintedSprite(0, 0, 0, background, kWhite);
    for (int i = 0; i < 5; ++i) {
        batch->addTintedSprite(kFirstGlyphLeft + i * kGlyphSize, kGlyphTop, 0,
                               source->frame(glyphs.names[i], kGlyph), kWhite);
    }
    batch->flush();
    root->render();
}
