// One installed font face at one pixel size, chosen by fontconfig and rasterised by
// FreeType.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <windows.h>

namespace d3dx9 {

struct GlyphBitmap {
    int width = 0;
    int height = 0;
    int left = 0;                // from the pen position to the bitmap's left edge
    int top = 0;                 // from the baseline up to the bitmap's top row
    int advance = 0;             // pen movement in pixels
    std::vector<BYTE> coverage;  // width x height, 0..255, top row first
};

class FontFace {
public:
    // familyUtf8: the requested family (fontconfig substitutes the closest installed one).
    // height < 0: the character (em) height in pixels; > 0: the cell height; 0: 12 pixels.
    // Null when no face can be opened.
    static std::unique_ptr<FontFace> open(const std::string& familyUtf8, int height, int weight,
                                          bool italic);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    int ascent() const { return ascent_; }
    int descent() const { return descent_; }
    int lineHeight() const { return ascent_ + descent_; }
    int emHeight() const { return emHeight_; }
    const std::string& fileName() const { return fileName_; }

    // False when the face cannot render the character (the caller skips it).
    bool render(char32_t character, GlyphBitmap& glyph);
    int advance(char32_t character);

private:
    FontFace() = default;

    struct Library;
    std::unique_ptr<Library> library_;
    int ascent_ = 0;
    int descent_ = 0;
    int emHeight_ = 0;
    std::string fileName_;
};

}  // namespace d3dx9
