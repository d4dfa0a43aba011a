#include "font/font_face.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace d3dx9 {

struct FontFace::Library {
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

namespace {

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

// The file and face index fontconfig picks for the request.
// Fontconfig keeps its configuration for the process; it is handed back at exit.
bool initFontconfig() {
    static const bool ready = [] {
        if (!FcInit()) {
            return false;
        }
        std::atexit([] { FcFini(); });
        return true;
    }();
    return ready;
}

bool matchFont(const std::string& family, int weight, bool italic, std::string& file, int& index) {
    if (!initFontconfig()) {
        return false;
    }
    Pattern pattern(FcPatternCreate());
    if (!pattern) {
        return false;
    }
    if (!family.empty()) {
        FcPatternAddString(pattern.get(), FC_FAMILY,
                           reinterpret_cast<const FcChar8*>(family.c_str()));
    }
    const int cssWeight = weight <= 0 ? 400 : std::min(weight, 1000);
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(cssWeight));
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match || result != FcResultMatch) {
        return false;
    }
    FcChar8* path = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &path) != FcResultMatch || path == nullptr) {
        return false;
    }
    file = reinterpret_cast<const char*>(path);
    index = 0;
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
    return true;
}

int ceilPixels(FT_Pos value26_6) {
    return static_cast<int>((value26_6 + 63) >> 6);
}

}  // namespace

std::unique_ptr<FontFace> FontFace::open(const std::string& family, int height, int weight,
                                         bool italic) {
    std::string file;
    int index = 0;
    if (!matchFont(family, weight, italic, file, index)) {
        return nullptr;
    }
    std::unique_ptr<FontFace> face(new FontFace());
    face->library_ = std::make_unique<Library>();
    Library& lib = *face->library_;
    if (FT_Init_FreeType(&lib.library) != 0 ||
        FT_New_Face(lib.library, file.c_str(), index, &lib.face) != 0 ||
        !FT_IS_SCALABLE(lib.face)) {
        return nullptr;
    }
    int em = 12;
    if (height < 0) {
        em = -height;
    } else if (height > 0) {
        // A cell height: the em that makes ascender + descender fill it.
        const int cell = lib.face->ascender - lib.face->descender;
        em = cell > 0 ? std::max(1, static_cast<int>(
                                        std::lround(1.0 * height * lib.face->units_per_EM / cell)))
                      : height;
    }
    if (em > 2048 || FT_Set_Pixel_Sizes(lib.face, 0, static_cast<FT_UInt>(em)) != 0) {
        return nullptr;
    }
    face->emHeight_ = em;
    face->ascent_ = ceilPixels(lib.face->size->metrics.ascender);
    face->descent_ = ceilPixels(-lib.face->size->metrics.descender);
    face->fileName_ = file;
    return face;
}

FontFace::~FontFace() = default;

bool FontFace::render(char32_t character, GlyphBitmap& glyph) {
    FT_Face face = library_->face;
    if (FT_Load_Char(face, character, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) {
        return false;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.width != 0) {
        return false;
    }
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.coverage.assign(static_cast<size_t>(glyph.width) * glyph.height, 0);
    for (int y = 0; y < glyph.height; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        std::memcpy(&glyph.coverage[static_cast<size_t>(y) * glyph.width], row, glyph.width);
    }
    return true;
}

int FontFace::advance(char32_t character) {
    FT_Face face = library_->face;
    if (FT_Load_Char(face, character, FT_LOAD_DEFAULT) != 0) {
        return 0;
    }
    return static_cast<int>((face->glyph->advance.x + 32) >> 6);
}

}  // namespace d3dx9
