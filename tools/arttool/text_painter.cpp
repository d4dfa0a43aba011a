#include "tools/arttool/text_painter.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <stdexcept>

namespace arttool {

struct TextPainter::Library {
    FT_Library library = nullptr;
    FT_Face face = nullptr;

    ~Library() {
        if (face != nullptr) {
            FT_Done_Face(face);
        }
        if (library != nullptr) {
            FT_Done_FreeType(library);
        }
    }
};

TextPainter::TextPainter(const std::string& fontFile) : library_(std::make_unique<Library>()) {
    if (FT_Init_FreeType(&library_->library) != 0) {
        throw std::runtime_error("FreeType cannot start");
    }
    if (FT_New_Face(library_->library, fontFile.c_str(), 0, &library_->face) != 0) {
        throw std::runtime_error("cannot open the font " + fontFile);
    }
}

TextPainter::~TextPainter() = default;

float TextPainter::measure(const std::string& text, int pixelSize) const {
    FT_Face face = library_->face;
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
    float width = 0.0f;
    for (const char c : text) {
        if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_DEFAULT) == 0) {
            width += face->glyph->advance.x / 64.0f;
        }
    }
    return width;
}

void TextPainter::draw(artlib::Image& image, const std::string& text, int pixelSize, float x,
                       float y, artlib::Argb colour) const {
    FT_Face face = library_->face;
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
    float pen = x;
    for (const char c : text) {
        if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_RENDER) != 0) {
            continue;
        }
        const FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        const int left = static_cast<int>(pen) + glyph->bitmap_left;
        const int top = static_cast<int>(y) - glyph->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            for (unsigned column = 0; column < bitmap.width; ++column) {
                const int px = left + static_cast<int>(column);
                const int py = top + static_cast<int>(row);
                if (px < 0 || py < 0 || px >= image.width || py >= image.height) {
                    continue;
                }
                const unsigned char value = bitmap.buffer[row * bitmap.pitch + column];
                if (value != 0) {
                    image.at(px, py) = artlib::blend(image.at(px, py), colour, value / 255.0f);
                }
            }
        }
        pen += glyph->advance.x / 64.0f;
    }
}

void TextPainter::drawCentred(artlib::Image& image, const std::string& text, int pixelSize,
                              float cx, float cy, artlib::Argb colour) const {
    // Capitals of this face stand about 0.73 of the pixel size above the baseline.
    draw(image, text, pixelSize, cx - measure(text, pixelSize) * 0.5f, cy + pixelSize * 0.36f,
         colour);
}

}  // namespace arttool
