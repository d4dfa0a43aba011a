#include "tools/arttool/gui_atlas.h"

#include <cmath>
#include <string>
#include <vector>

#include "tools/artlib/atlas_writer.h"
#include "tools/arttool/noise.h"
#include "tools/arttool/paint.h"
#include "tools/arttool/scenery.h"

namespace arttool {

namespace {

using artlib::argb;
using artlib::AtlasLine;
using artlib::DdsFormat;

constexpr float pi = 3.14159265f;
// Full-screen pages are drawn 1024 x 768 into the top of a 1024 x 1024 texture.
constexpr int pageWidth = 1024;
constexpr int pageHeight = 768;

const Argb white = argb(255, 255, 255, 255);
const Argb amber = argb(255, 255, 176, 40);

struct Sheet {
    std::string file;  // below "texture/hi/", without extension
    Image image;
    DdsFormat format;
};

AtlasLine region(const std::string& name, const Sheet& sheet, int x, int y, int w, int h) {
    const float tw = static_cast<float>(sheet.image.width);
    const float th = static_cast<float>(sheet.image.height);
    return {name, sheet.file, x / tw, y / th, w / tw, h / th};
}

void drawTitle(Image& image, const TextPainter& text, const std::string& title, float cy,
               int size) {
    text.drawCentred(image, title, size, pageWidth * 0.5f + 4, cy + 4, argb(160, 0, 0, 0));
    text.drawCentred(image, title, size, pageWidth * 0.5f, cy, amber);
}

// The dark plate the menu's buttons stand on (x 85..455 from row y0 on).
void drawButtonPlate(Image& image, float y0, float y1) {
    fillRoundRect(image, 65, y0 - 24, 475, y1 + 24, 16, argb(150, 0, 0, 0));
}

Sheet menuPage(const TextPainter& text, const std::string& file, std::uint32_t seed, float plateTop,
               const std::string& subtitle) {
    Sheet sheet{file, Image(1024, 1024), DdsFormat::Dxt1};
    drawScene(sheet.image, seed, argb(255, 30, 40, 90), argb(255, 230, 120, 70));
    drawTitle(sheet.image, text, "MORVALE 4x4", 110, 96);
    text.drawCentred(sheet.image, subtitle, 28, pageWidth * 0.5f, 190, white);
    drawJeep(sheet.image, 560, 470, 2.2f, argb(255, 52, 92, 60));
    drawButtonPlate(sheet.image, plateTop, 646);
    return sheet;
}

Sheet helpPage(const TextPainter& text) {
    Sheet sheet{"gui/menu_help", Image(1024, 1024), DdsFormat::Dxt1};
    drawScene(sheet.image, 5, argb(255, 20, 30, 60), argb(255, 120, 90, 110));
    fillRoundRect(sheet.image, 80, 60, 944, 700, 24, argb(190, 0, 0, 0));
    drawTitle(sheet.image, text, "HOW TO DRIVE", 120, 64);
    text.drawCentred(sheet.image, "Find the beacon across town before the ten minutes run out.", 24,
                     pageWidth * 0.5f, 200, white);
    const char* const keys[][2] = {
        {"Up / Down", "accelerate / brake and reverse"},
        {"Left / Right", "steer"},
        {"Space", "handbrake"},
        {"V or F7", "inside / outside view"},
        {"C or Tab", "map of the town"},
        {"M / J", "mouse steering / joystick"},
        {"H or F1", "this page"},
        {"Escape", "pause"},
    };
    float y = 270;
    for (const auto& line : keys) {
        text.draw(sheet.image, line[0], 26, 170, y, amber);
        text.draw(sheet.image, line[1], 26, 430, y, white);
        y += 46;
    }
    text.drawCentred(sheet.image, "Ten seconds tilted over 11 degrees and the run is lost.", 22,
                     pageWidth * 0.5f, 660, white);
    return sheet;
}

// The town's plan in the screen area the map screen maps the level's statics box into:
// u = (max x - x) / W * 0.6011 + 0.0507, v = (z - min z) / D * 0.8317 + 0.037.
Sheet mapPage(const TextPainter& text, const TownPlan& plan) {
    Sheet sheet{"gui/menu_map", Image(1024, 1024), DdsFormat::Dxt1};
    Image& image = sheet.image;
    fillWith(image, [](float, float y) {
        return y < pageHeight ? mix(argb(255, 40, 36, 30), argb(255, 70, 62, 50), y / pageHeight)
                              : argb(255, 0, 0, 0);
    });
    auto sx = [&](float x) {
        return ((TownPlan::maxX - x) / TownPlan::size * 0.6011f + 0.0507f) * pageWidth;
    };
    auto sy = [&](float z) {
        return ((z - TownPlan::minZ) / TownPlan::size * 0.8317f + 0.037f) * pageHeight;
    };
    // Paper.
    fillRect(image, sx(TownPlan::maxX) - 12, sy(TownPlan::minZ) - 12, sx(TownPlan::minX) + 12,
             sy(TownPlan::maxZ) + 12, argb(255, 225, 215, 185));
    fillRect(image, sx(TownPlan::maxX), sy(TownPlan::minZ), sx(TownPlan::minX), sy(TownPlan::maxZ),
             argb(255, 150, 150, 150));  // streets
    for (const Tile& tile : plan.blocks) {
        const float s = TownPlan::street;
        const Argb ground = tile.park ? argb(255, 120, 170, 90) : argb(255, 215, 210, 195);
        fillRect(image, sx(tile.x0 + TownPlan::tileSize - s), sy(tile.z0 + s), sx(tile.x0 + s),
                 sy(tile.z0 + TownPlan::tileSize - s), ground);
    }
    for (const Building& b : plan.buildings) {
        const Argb roof = b.facade == Facade::Glass   ? argb(255, 90, 110, 140)
                          : b.facade == Facade::Brick ? argb(255, 170, 90, 70)
                                                      : argb(255, 190, 170, 130);
        fillRect(image, sx(b.x1), sy(b.z0), sx(b.x0), sy(b.z1), roof);
    }
    // The legend on the right.
    text.draw(image, "MORVALE", 44, 700, 80, amber);
    text.draw(image, "town map", 26, 700, 120, white);
    fillCircle(image, 716, 200, 10, argb(255, 230, 40, 30));
    text.draw(image, "your goal", 24, 740, 208, white);
    fillRect(image, 706, 240, 726, 260, argb(255, 52, 92, 60));
    text.draw(image, "your 4x4", 24, 740, 258, white);
    // A compass: +z runs down the page and +x to the left.
    drawLine(image, 780, 420, 780, 340, 4, white);
    fillPolygon(image, {770, 350, 790, 350, 780, 330}, white);
    text.drawCentred(image, "N", 28, 780, 310, white);
    return sheet;
}

Sheet exitPage(const TextPainter& text) {
    Sheet sheet{"gui/menu_exit", Image(1024, 1024), DdsFormat::Dxt1};
    drawScene(sheet.image, 9, argb(255, 10, 10, 30), argb(255, 70, 40, 80));
    drawTitle(sheet.image, text, "THANKS FOR DRIVING", 330, 72);
    text.drawCentred(sheet.image, "see you on the streets of Morvale", 30, pageWidth * 0.5f, 420,
                     white);
    return sheet;
}

Sheet loadingPage(const TextPainter& text) {
    Sheet sheet{"gui/loading", Image(1024, 1024), DdsFormat::Dxt1};
    drawScene(sheet.image, 13, argb(255, 60, 110, 180), argb(255, 240, 200, 140));
    drawJeep(sheet.image, 300, 430, 2.4f, argb(255, 52, 92, 60));
    drawTitle(sheet.image, text, "LOADING THE TOWN...", 120, 64);
    return sheet;
}

// Shown over the scene: transparent but for a banner.
Sheet bannerPage(const TextPainter& text, const std::string& file, const std::string& title,
                 const std::string& line, Argb colour) {
    Sheet sheet{file, Image(1024, 1024, argb(0, 0, 0, 0)), DdsFormat::Dxt5};
    fillRect(sheet.image, 0, 300, 1024, 470, argb(170, 0, 0, 0));
    fillRect(sheet.image, 0, 300, 1024, 306, colour);
    fillRect(sheet.image, 0, 464, 1024, 470, colour);
    text.drawCentred(sheet.image, title, 96, pageWidth * 0.5f + 4, 374, argb(200, 0, 0, 0));
    text.drawCentred(sheet.image, title, 96, pageWidth * 0.5f, 370, colour);
    text.drawCentred(sheet.image, line, 28, pageWidth * 0.5f, 440, white);
    return sheet;
}

// Buttons: 480 x 40 pictures (drawn 370 x 31) in 512 x 64 cells.
void drawButton(Image& image, const TextPainter& text, int cellX, int cellY,
                const std::string& word, int state) {
    const float x0 = cellX + 16.0f, y0 = cellY + 12.0f, x1 = x0 + 480.0f, y1 = y0 + 40.0f;
    const Argb plates[] = {argb(210, 20, 30, 40), argb(240, 230, 140, 30), argb(255, 160, 80, 10)};
    const Argb edges[] = {argb(255, 160, 170, 180), argb(255, 255, 230, 160),
                          argb(255, 255, 200, 120)};
    fillRoundRect(image, x0, y0, x1, y1, 10, edges[state]);
    fillRoundRect(image, x0 + 2, y0 + 2, x1 - 2, y1 - 2, 8, plates[state]);
    const float shift = state == 2 ? 1.5f : 0.0f;
    text.drawCentred(image, word, 26, (x0 + x1) * 0.5f + shift, (y0 + y1) * 0.5f + shift,
                     state == 0 ? white : argb(255, 20, 20, 20));
}

Image digitCell(const TextPainter& text, const std::string& glyph) {
    Image cell(32, 32, argb(0, 0, 0, 0));
    text.drawCentred(cell, glyph, 30, 16.5f, 17.5f, argb(255, 0, 0, 0));
    text.drawCentred(cell, glyph, 30, 16, 16, argb(255, 255, 220, 90));
    return cell;
}

// Every image side by side with its name, for people to look at.
Image contactSheet(const TextPainter& text, const std::vector<AtlasLine>& lines,
                   const std::vector<Sheet>& sheets) {
    const int cell = 200;
    const int columns = 6;
    const int rows = static_cast<int>((lines.size() + columns - 1) / columns);
    Image out(columns * cell, rows * cell, argb(255, 60, 60, 60));
    // Checkerboard behind the pictures, so their alpha shows.
    fillWith(out, [&](float x, float y) {
        const bool dark = (static_cast<int>(x / 8) + static_cast<int>(y / 8)) % 2 == 0;
        return dark ? argb(255, 70, 70, 70) : argb(255, 100, 100, 100);
    });
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const AtlasLine& line = lines[i];
        const Sheet* sheet = nullptr;
        for (const Sheet& s : sheets) {
            if (s.file == line.file) {
                sheet = &s;
            }
        }
        const int cx = static_cast<int>(i % columns) * cell;
        const int cy = static_cast<int>(i / columns) * cell;
        const int w = static_cast<int>(line.w * sheet->image.width + 0.5f);
        const int h = static_cast<int>(line.h * sheet->image.height + 0.5f);
        Image picture(w, h);
        const int u = static_cast<int>(line.u * sheet->image.width + 0.5f);
        const int v = static_cast<int>(line.v * sheet->image.height + 0.5f);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                picture.at(x, y) = sheet->image.at(u + x, v + y);
            }
        }
        const float fit = std::min(1.0f, std::min((cell - 10.0f) / w, (cell - 34.0f) / h));
        const int dw = std::max(1, static_cast<int>(w * fit));
        const int dh = std::max(1, static_cast<int>(h * fit));
        drawImage(out, scaled(picture, dw, dh), cx + (cell - dw) / 2, cy + 4);
        fillRect(out, cx, cy + cell - 26.0f, cx + cell, cy + cell, argb(255, 20, 20, 20));
        text.draw(out, line.name, 14, cx + 6.0f, cy + cell - 8.0f, white);
    }
    return out;
}

}  // namespace

void makeGuiAtlas(const ArtOutput& out, const TextPainter& text, const TownPlan& plan) {
    std::vector<Sheet> sheets;
    std::vector<AtlasLine> lines;
    auto page = [&](const std::string& name, Sheet sheet) {
        lines.push_back(region(name, sheet, 0, 0, pageWidth, pageHeight));
        sheets.push_back(std::move(sheet));
    };
    page("menu_background_start", menuPage(text, "gui/menu_start", 1, 503, "a drive through town"));
    page("menu_background_restart", menuPage(text, "gui/menu_restart", 2, 447, "paused"));
    page("menu_help_background", helpPage(text));
    page("menu_background_map", mapPage(text, plan));
    page("menu_background_exit", exitPage(text));
    page("loading_screen", loadingPage(text));
    page("win", bannerPage(text, "gui/win", "YOU MADE IT!", "the beacon is yours, press a key",
                           argb(255, 120, 230, 90)));
    page("lose", bannerPage(text, "gui/lose", "RUN LOST",
                            "out of time or off the road, press a key", argb(255, 240, 70, 50)));

    Sheet buttons{"gui/buttons", Image(1024, 512, argb(0, 0, 0, 0)), DdsFormat::Dxt5};
    const char* const words[] = {"start", "restart", "continue", "help", "exit"};
    const char* const suffixes[] = {"_w", "_b", "_o"};
    int index = 0;
    for (const char* word : words) {
        std::string caption = word;
        for (char& c : caption) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        for (int state = 0; state < 3; ++state) {
            const int cellX = (index % 2) * 512;
            const int cellY = (index / 2) * 64;
            drawButton(buttons.image, text, cellX, cellY, caption, state);
            lines.push_back(region(std::string(word) + suffixes[state], buttons, cellX + 16,
                                   cellY + 12, 480, 40));
            ++index;
        }
    }
    sheets.push_back(std::move(buttons));

    Sheet hud{"gui/hud", Image(512, 512, argb(0, 0, 0, 0)), DdsFormat::Dxt5};
    // The map's goal marker: rings that pulse in size on screen.
    strokeCircle(hud.image, 128, 128, 110, 10, argb(230, 230, 40, 30));
    strokeCircle(hud.image, 128, 128, 70, 8, argb(200, 255, 120, 60));
    fillCircle(hud.image, 128, 128, 22, argb(255, 255, 60, 40));
    lines.push_back(region("circle1", hud, 0, 0, 256, 256));
    // The car on the map, seen from above.
    fillRoundRect(hud.image, 288, 16, 320, 80, 8, argb(255, 30, 30, 30));
    fillRoundRect(hud.image, 291, 19, 317, 77, 6, argb(255, 70, 140, 80));
    fillRect(hud.image, 294, 26, 314, 38, argb(255, 150, 190, 220));
    fillRect(hud.image, 302, 19, 306, 77, argb(255, 230, 200, 60));
    lines.push_back(region("Pajero_icon", hud, 272, 16, 64, 64));
    fillRoundRect(hud.image, 272, 96, 464, 136, 10, argb(200, 0, 0, 0));
    strokeCircle(hud.image, 290, 116, 10, 3, white);
    drawLine(hud.image, 290, 116, 290, 109, 2, white);
    lines.push_back(region("time_remaining_background", hud, 272, 96, 192, 40));
    for (int d = 0; d <= 10; ++d) {
        const std::string glyph = d < 10 ? std::to_string(d) : ":";
        drawImage(hud.image, digitCell(text, glyph), 8 + d * 40, 280);
        lines.push_back(region(d < 10 ? glyph : "doublePoint", hud, 8 + d * 40, 280, 32, 32));
    }
    sheets.push_back(std::move(hud));

    for (const Sheet& sheet : sheets) {
        out.writeTexture(sheet.file, sheet.image, sheet.format);
    }
    out.write(
        "texture/hi/gui/shell.tai",
        artlib::atlasText(lines, "The shell's images: name, texture below texture/hi/, u v w h"));
    out.writePicture("atlas_contact_sheet.png", contactSheet(text, lines, sheets));
    for (const Sheet& sheet : sheets) {
        out.writePicture("atlas_" + sheet.file.substr(4) + ".png", sheet.image);
    }
}

}  // namespace arttool
