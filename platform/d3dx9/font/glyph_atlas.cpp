#include "font/glyph_atlas.h"

#include <algorithm>
#include <cstring>

#include "d3d9/seams.h"

namespace d3dx9 {
namespace {

constexpr int kMaxSide = 4096;
constexpr int kPadding = 1;  // keeps filtering from bleeding between glyphs

}  // namespace

GlyphAtlas::GlyphAtlas(IDirect3DDevice9* device, FontFace& face, std::string name)
    : device_(device), face_(face), name_(std::move(name)) {
    coverage_.assign(static_cast<size_t>(width_) * height_, 0);
}

const AtlasGlyph* GlyphAtlas::glyph(wchar_t character) const {
    const auto found = glyphs_.find(character);
    return found == glyphs_.end() ? nullptr : &found->second;
}

bool GlyphAtlas::place(const GlyphBitmap& bitmap, AtlasGlyph& glyph) {
    const int w = bitmap.width + kPadding;
    const int h = bitmap.height + kPadding;
    if (w >= kMaxSide || h >= kMaxSide) {
        return false;
    }
    if (rowX_ + w > width_) {
        rowX_ = kPadding;
        rowY_ += rowHeight_;
        rowHeight_ = 0;
    }
    while (rowX_ + w > width_ || rowY_ + h > height_) {
        // Grow: wider first while the rows are short, then taller; old texels stay put.
        const int newWidth = rowX_ + w > width_ ? width_ * 2 : width_;
        const int newHeight = newWidth == width_ ? height_ * 2 : height_;
        if (newWidth > kMaxSide || newHeight > kMaxSide) {
            return false;
        }
        std::vector<BYTE> grown(static_cast<size_t>(newWidth) * newHeight, 0);
        for (int y = 0; y < height_; ++y) {
            std::memcpy(&grown[static_cast<size_t>(y) * newWidth],
                        &coverage_[static_cast<size_t>(y) * width_], width_);
        }
        coverage_ = std::move(grown);
        width_ = newWidth;
        height_ = newHeight;
        texture_.reset();
    }
    glyph.x = rowX_;
    glyph.y = rowY_;
    glyph.width = bitmap.width;
    glyph.height = bitmap.height;
    glyph.left = bitmap.left;
    glyph.top = bitmap.top;
    glyph.advance = bitmap.advance;
    for (int y = 0; y < bitmap.height; ++y) {
        std::memcpy(&coverage_[static_cast<size_t>(rowY_ + y) * width_ + rowX_],
                    &bitmap.coverage[static_cast<size_t>(y) * bitmap.width], bitmap.width);
    }
    rowX_ += w;
    rowHeight_ = std::max(rowHeight_, h);
    return true;
}

bool GlyphAtlas::prepare(const std::wstring& text) {
    for (wchar_t c : text) {
        if (glyphs_.count(c) != 0 || missing_.count(c) != 0) {
            continue;
        }
        GlyphBitmap bitmap;
        AtlasGlyph glyph;
        if (!face_.render(static_cast<char32_t>(c), bitmap) || !place(bitmap, glyph)) {
            missing_[c] = true;
            continue;
        }
        glyphs_[c] = glyph;
        dirty_ = true;
    }
    return dirty_ ? upload() : true;
}

bool GlyphAtlas::upload() {
    if (!texture_.get()) {
        if (FAILED(device_->CreateTexture(static_cast<UINT>(width_), static_cast<UINT>(height_), 1,
                                          0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture_.out(),
                                          nullptr))) {
            return false;
        }
        d3d9::setDebugName(texture_.get(), name_);
    }
    D3DLOCKED_RECT locked{};
    if (FAILED(texture_->LockRect(0, &locked, nullptr, 0))) {
        return false;
    }
    for (int y = 0; y < height_; ++y) {
        auto* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) +
                                             static_cast<size_t>(y) * locked.Pitch);
        for (int x = 0; x < width_; ++x) {
            row[x] = (static_cast<DWORD>(coverage_[static_cast<size_t>(y) * width_ + x]) << 24) |
                     0x00FFFFFFu;
        }
    }
    texture_->UnlockRect(0);
    dirty_ = false;
    return true;
}

}  // namespace d3dx9
