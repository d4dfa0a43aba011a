// The glyphs a font has drawn so far, packed in rows into one texture (white, with the
// coverage as alpha). The texture grows when a new glyph does not fit.
#pragma once

#include <map>
#include <vector>

#include <d3d9.h>

#include "common/com_object.h"
#include "font/font_face.h"

namespace d3dx9 {

struct AtlasGlyph {
    int x = 0;  // texel rectangle in the atlas
    int y = 0;
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
    int advance = 0;
};

class GlyphAtlas {
public:
    GlyphAtlas(IDirect3DDevice9* device, FontFace& face, std::string name);

    // Makes sure every character of the text has its glyph in the texture; false when the
    // texture cannot be made or updated.
    bool prepare(const std::wstring& text);
    // After prepare: the glyph (null for a character the face cannot render).
    const AtlasGlyph* glyph(wchar_t character) const;
    IDirect3DTexture9* texture() const { return texture_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    bool place(const GlyphBitmap& bitmap, AtlasGlyph& glyph);
    bool upload();

    IDirect3DDevice9* device_;
    FontFace& face_;
    std::string name_;
    std::map<wchar_t, AtlasGlyph> glyphs_;
    std::map<wchar_t, bool> missing_;
    std::vector<BYTE> coverage_;  // width_ x height_
    int width_ = 256;
    int height_ = 256;
    int rowX_ = 1;
    int rowY_ = 1;
    int rowHeight_ = 0;
    ComRef<IDirect3DTexture9> texture_;
    bool dirty_ = true;
};

}  // namespace d3dx9
