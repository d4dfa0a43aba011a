// The shared services over a null device, with the shell's art: an atlas "shell.tai" in the
// GUI folder whose every image is a small texture of its own ("gui/<image>.dds"), so that
// a draw names its image by the texture it sampled. Sprites are read back from the draws
// the device recorded.
#pragma once

#include <d3d9/records.h>
#include <d3d9/seams.h>

#include <map>
#include <string>
#include <vector>

#include "engine/core/strings.h"
#include "engine/render/texture/texture_loader.h"
#include "game/app/shell/gui_settings.h"
#include "tests/render_quads/quads_fixture.h"
#include "tests/support/art_files.h"

namespace shell_testing {

struct DrawnSprite {
    std::string image;  // the atlas image whose texture was sampled, or "?"
    float left, top, right, bottom;
    float u0, v0, u1, v1;
    int width() const { return static_cast<int>(right - left); }
    int height() const { return static_cast<int>(bottom - top); }
};

class ShellTest : public kesh::testing::QuadsTest {
protected:
    explicit ShellTest(int width = 1024, int height = 768)
        : QuadsTest(morvale_testing::DeviceKind::Null, width, height) {}

    void SetUp() override {
        QuadsTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        const char* images[] = {"0",
                                "1",
                                "2",
                                "3",
                                "4",
                                "5",
                                "6",
                                "7",
                                "8",
                                "9",
                                "doublePoint",
                                "time_remaining_background",
                                "loading_screen",
                                "menu_background_start",
                                "menu_background_restart",
                                "menu_help_background",
                                "menu_background_map",
                                "Pajero_icon",
                                "circle1",
                                "start_w",
                                "start_b",
                                "start_o",
                                "restart_w",
                                "restart_b",
                                "restart_o",
                                "continue_w",
                                "continue_b",
                                "continue_o",
                                "help_w",
                                "help_b",
                                "help_o",
                                "exit_w",
                                "exit_b",
                                "exit_o"};
        std::string index = "# every image on a texture of its own, a quarter of it\n";
        for (const char* image : images) {
            index += std::string(image) + " gui/" + image + " 0.25 0.5 0.5 0.25\n";
            writeArt("texture/hi/gui/" + std::string(image) + ".dds",
                     morvale_testing::solidDds(4, 4, 0xFFFFFFFF));
            known.push_back(image);
        }
        writeArt("texture/hi/gui/shell.tai", index);
        settings.textureFolder = kesh::toWide(artRoot() + "texture/hi/gui/");
    }

    std::string imageOf(IDirect3DBaseTexture9* texture) {
        for (const std::string& image : known) {
            if (kesh::theTextureCache->fetch("gui/" + image + ".dds") == texture) {
                return image;
            }
        }
        return "?";
    }

    // The sprites of the draws recorded since the last clearDraws, in drawing order.
    std::vector<DrawnSprite> sprites() {
        std::vector<DrawnSprite> found;
        for (const d3d9::RecordedDraw& draw : draws()) {
            if (draw.kind != d3d9::DrawKind::Indexed || draw.stride != 20) {
                continue;
            }
            struct Corner {
                float x, y, z, u, v;
            } corners[4];
            for (UINT n = 0; n < 4; ++n) {
                for (std::size_t i = 0; i < draw.vertexNumbers.size(); ++i) {
                    if (draw.vertexNumbers[i] == n) {
                        std::memcpy(&corners[n], draw.vertex(i), sizeof corners[n]);
                    }
                }
            }
            IDirect3DBaseTexture9* texture = nullptr;
            for (IDirect3DBaseTexture9* bound : draw.state.textures) {
                texture = texture ? texture : bound;
            }
            found.push_back({imageOf(texture), corners[0].x, corners[0].y, corners[2].x,
                             corners[2].y, corners[0].u, corners[0].v, corners[2].u, corners[2].v});
        }
        return found;
    }

    // Draws through fn inside a scene, with the record emptied first.
    template <class Fn>
    std::vector<DrawnSprite> drawn(Fn fn) {
        record().clear();
        device->BeginScene();
        fn();
        device->EndScene();
        return sprites();
    }

    std::vector<std::string> known;
    GuiSettings settings;
};

// "image at (left, top) width x height", for readable failures.
inline std::string describe(const DrawnSprite& s) {
    return s.image + " at (" + std::to_string(static_cast<int>(s.left)) + ", " +
           std::to_string(static_cast<int>(s.top)) + ") " + std::to_string(s.width()) + " x " +
           std::to_string(s.height());
}

}  // namespace shell_testing
