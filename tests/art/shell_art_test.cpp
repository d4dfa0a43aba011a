// The shell's art through the shell's own code: the atlas as the texture atlas reads it, each
// name with the lookup the screen that shows it uses, and the menus, the map, the full-screen
// pictures and the countdown built over it and drawn without a single checkerboard.
#include <gtest/gtest.h>

#include <d3d9/records.h>
#include <d3d9/seams.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "engine/core/strings.h"
#include "engine/render/gui/sprite_frame.h"
#include "engine/render/gui/texture_atlas.h"
#include "game/app/hud/gui_number_display.h"
#include "game/app/shell/game_map.h"
#include "game/app/shell/gui_picture_widget.h"
#include "game/app/shell/shell_art.h"
#include "game/app/shell/shell_menu.h"
#include "tests/art/art_log.h"
#include "tests/art/generated_art.h"

namespace {

using namespace art_testing;

// A name, and the size in pixels the game draws it at (0 x 0: the whole 1024 x 768 frame).
struct Shown {
    std::string name;
    int width = 0;
    int height = 0;
};

// The shell menu's pages and buttons take regions, exactly by name.
std::vector<Shown> regionNames() {
    std::vector<Shown> names = {
        {"menu_background_start"}, {"menu_background_restart"}, {"menu_help_background"}};
    for (const char* button : {"start", "restart", "continue", "help", "exit"}) {
        for (const char* state : {"_w", "_b", "_o"}) {
            names.push_back({std::string(button) + state, 370, 31});
        }
    }
    return names;
}

// The map, the full-screen pictures and the countdown take frames.
std::vector<Shown> frameNames() {
    std::vector<Shown> names = {{"menu_background_map"},
                                {"Pajero_icon", GameMap::kIconSize, GameMap::kIconSize},
                                {"circle1", GameMap::kMarkerSize, GameMap::kMarkerSize},
                                {"loading_screen"},
                                {"win"},
                                {"lose"},
                                {"menu_background_exit"},
                                {"time_remaining_background", GuiNumberDisplay::kBackgroundWidth,
                                 GuiNumberDisplay::kBackgroundHeight}};
    for (int glyph = 0; glyph < kGlyphCount; ++glyph) {
        names.push_back(
            {glyphName(glyph), GuiNumberDisplay::kGlyphSize, GuiNumberDisplay::kGlyphSize});
    }
    return names;
}

class ShellArtTest : public GeneratedArtTest {
protected:
    ShellArtTest() : GeneratedArtTest(morvale_testing::DeviceKind::Null, 1024, 768) {}

    void SetUp() override {
        GeneratedArtTest::SetUp();
        settings.textureFolder = kesh::toWide(artRoot() + "texture/hi/gui/");
        loadShellAtlas(settings, atlas);
    }

    // The image's size in its texture's pixels.
    void imageSize(const kesh::AtlasEntry& entry, float& width, float& height) {
        IDirect3DTexture9* texture = kesh::theTextureCache->fetch(entry.texture);
        D3DSURFACE_DESC desc{};
        ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
        width = entry.w * static_cast<float>(desc.Width);
        height = entry.h * static_cast<float>(desc.Height);
    }

    // The entry a lookup found, its texture in both formats, and its shape that of the
    // space it is drawn into: the game stretches images to their size.
    void expectFound(const Shown& shown, const std::string& texture) {
        const kesh::AtlasEntry* entry = atlas.find(shown.name);
        ASSERT_NE(entry, nullptr) << shown.name << " is not in the atlas";
        EXPECT_EQ(texture, entry->texture) << shown.name << " resolves to a texture of its own";
        EXPECT_EQ(entry->texture.rfind("gui/", 0), 0u) << shown.name;
        EXPECT_GT(entry->w, 0.0f) << shown.name;
        EXPECT_GT(entry->h, 0.0f) << shown.name;
        EXPECT_LE(entry->u + entry->w, 1.0f) << shown.name;
        EXPECT_LE(entry->v + entry->h, 1.0f) << shown.name;
        expectTextureFile(entry->texture);
        float width = 0, height = 0;
        imageSize(*entry, width, height);
        const float drawn =
            shown.width == 0 ? 1024.0f / 768.0f : static_cast<float>(shown.width) / shown.height;
        EXPECT_NEAR(width / height, drawn, 0.12f * drawn) << shown.name << " is stretched";
        // Not blown up to more than twice its pixels.
        EXPECT_GE(2.0f * width, shown.width == 0 ? 1024.0f : static_cast<float>(shown.width))
            << shown.name;
    }

    // Draws in a scene; every sprite drawn samples an atlas texture that loaded, and no
    // reader complained.
    void expectDrawnFromTheAtlas(const std::string& what, const std::function<void()>& draw) {
        std::set<IDirect3DBaseTexture9*> atlasTextures;
        for (const Shown& shown : regionNames()) {
            atlasTextures.insert(kesh::theTextureCache->fetch(atlas.find(shown.name)->texture));
        }
        for (const Shown& shown : frameNames()) {
            atlasTextures.insert(kesh::theTextureCache->fetch(atlas.find(shown.name)->texture));
        }
        captureComplaints();
        d3d9::DeviceRecord& record = *d3d9::deviceRecord(device);
        record.clear();
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        draw();
        ASSERT_EQ(device->EndScene(), D3D_OK);
        int sprites = 0;
        for (const d3d9::RecordedDraw& drawn : record.draws) {
            if (drawn.stride != 20) {
                continue;
            }
            ++sprites;
            IDirect3DBaseTexture9* texture = nullptr;
            for (IDirect3DBaseTexture9* bound : drawn.state.textures) {
                texture = texture != nullptr ? texture : bound;
            }
            EXPECT_FALSE(isFallback(texture)) << what << " draws a checkerboard";
            EXPECT_EQ(atlasTextures.count(texture), 1u)
                << what << " draws a texture not in the atlas";
        }
        EXPECT_GT(sprites, 0) << what << " draws nothing";
        EXPECT_EQ(describeComplaints(), "") << what;
    }

    GuiSettings settings;
    kesh::TextureAtlas atlas;
};

TEST_F(ShellArtTest, TheAtlasReaderTakesEveryLineAndEveryNameResolvesWithItsLookup) {
    // A line the reader skips (six fields unread, no line feed at the end) is an image lost.
    EXPECT_EQ(static_cast<int>(atlas.size()), atlasLines());
    const kesh::SpriteSource source(kesh::theTextureCache, &atlas);
    for (const Shown& shown : regionNames()) {
        expectFound(shown, source.region(shown.name).texture);
    }
    for (const Shown& shown : frameNames()) {
        const int size[2] = {shown.width, shown.height};
        expectFound(shown, source.frame(shown.name, size).texture);
    }
}

TEST_F(ShellArtTest, TheMenusDrawTheirPagesAndButtonsFromTheAtlas) {
    for (const bool inGame : {false, true}) {
        ShellMenu menu(dx.get(), settings, inGame, false);
        expectDrawnFromTheAtlas(inGame ? "the pause menu" : "the main menu", [&] { menu.draw(); });
    }
    ShellMenu help(dx.get(), settings, true, true);
    ASSERT_TRUE(help.showsHelp());
    expectDrawnFromTheAtlas("the help page", [&] { help.draw(); });
}

TEST_F(ShellArtTest, TheMapDrawsItsPictureIconAndMarkerFromTheAtlas) {
    const float car[2] = {0.3f, 0.6f};
    const float target[2] = {0.7f, 0.2f};
    GameMap map(dx.get(), settings, car, target);
    expectDrawnFromTheAtlas("the map", [&] { map.update(0.5f); });
}

TEST_F(ShellArtTest, TheFullScreenPicturesAndTheCountdownDrawFromTheAtlas) {
    for (const char* name : {"loading_screen", "win", "lose", "menu_background_exit"}) {
        GuiPictureWidget picture(dx.get(), settings, name);
        EXPECT_EQ(picture.frame().texture, atlas.find(name)->texture) << name;
        EXPECT_EQ(picture.frame().width, 1024) << name;
        expectDrawnFromTheAtlas(name, [&] { picture.draw(); });
    }
    GuiNumberDisplay countdown(dx.get(), settings, "time_remaining_background");
    EXPECT_EQ(countdown.backgroundFrame().texture,
              atlas.find("time_remaining_background")->texture);
    expectDrawnFromTheAtlas("the countdown", [&] { countdown.draw(567.0); });
}

}  // namespace
