// ID3DXFont: text laid out by the DT_ flags and drawn as one batch of textured quads,
// with positions already in clip space (no vertex shader), over the device's own state.
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <map>
#include <memory>
#include <new>
#include <string>

#include "common/com_object.h"
#include "common/file_data.h"
#include "d3d9/seams.h"
#include "d3dx9core.h"
#include "font/font_face.h"
#include "font/glyph_atlas.h"
#include "font/state_guard.h"
#include "font/text_layout.h"
#include "font/text_record.h"

namespace d3dx9 {
namespace {

constexpr DWORD kTextFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct TextVertex {
    float x, y, z;
    D3DCOLOR color;
    float u, v;
};

class Font : public ComObject<ID3DXFont> {
public:
    Font(IDirect3DDevice9* device, const D3DXFONT_DESCW& desc, std::unique_ptr<FontFace> face)
        : device_(device),
          desc_(desc),
          face_(std::move(face)),
          atlas_(device, *face_, "font " + toUtf8(desc.FaceName)) {
        device_->AddRef();
        desc_.Height = -face_->emHeight();
        d3d9::addResetBlocker(device_);
    }

    ~Font() override {
        if (!lost_) {
            d3d9::removeResetBlocker(device_);
        }
        device_->Release();
    }

    HRESULT GetDevice(IDirect3DDevice9** device) override {
        if (device == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        *device = device_;
        device_->AddRef();
        return D3D_OK;
    }

    HRESULT GetDescW(D3DXFONT_DESCW* desc) override {
        if (desc == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        *desc = desc_;
        return D3D_OK;
    }

    INT DrawTextW(ID3DXSprite*, LPCWSTR text, INT count, RECT* rect, DWORD format,
                  D3DCOLOR color) override {
        if (text == nullptr || rect == nullptr) {
            return 0;
        }
        const size_t length = count < 0 ? std::wcslen(text) : static_cast<size_t>(count);
        const RECT passed = *rect;
        std::wstring shown;
        INT result = 0;
        try {
            shown.assign(text, length);
            result = draw(shown, *rect, format, color);
        } catch (...) {
            result = 0;  // out of memory: nothing drawn, as for any failure
        }
        if (textRecording()) {
            recordTextDraw(d3dx9::TextDraw{std::move(shown), passed, format, color, result});
        }
        return result;
    }

    HRESULT OnLostDevice() override {
        if (!lost_) {
            lost_ = true;
            d3d9::removeResetBlocker(device_);
        }
        return D3D_OK;
    }

    HRESULT OnResetDevice() override {
        if (lost_) {
            lost_ = false;
            d3d9::addResetBlocker(device_);
        }
        return D3D_OK;
    }

private:
    int advance(wchar_t character) {
        const auto found = advances_.find(character);
        if (found != advances_.end()) {
            return found->second;
        }
        const int value = face_->advance(static_cast<char32_t>(character));
        advances_[character] = value;
        return value;
    }

    INT draw(const std::wstring& text, RECT& rect, DWORD format, D3DCOLOR color) {
        LayoutMetrics metrics;
        metrics.advance = [this](wchar_t c) { return advance(c); };
        metrics.lineHeight = face_->lineHeight();
        metrics.tabWidth = 8 * advance(L'x');
        const TextLayout layout = layoutText(text, format, rect, metrics);
        const INT result = (format & (DT_VCENTER | DT_BOTTOM))
                               ? layout.top - rect.top + layout.height
                               : layout.height;
        if (format & DT_CALCRECT) {
            rect.right = rect.left + layout.width;
            rect.bottom = rect.top + layout.height;
            return result;
        }
        if (!atlas_.prepare(text)) {
            return 0;
        }
        const std::vector<TextVertex> vertices = quads(layout, rect, format, color);
        if (!vertices.empty() && !submit(vertices)) {
            return 0;
        }
        return result;
    }

    std::vector<TextVertex> quads(const TextLayout& layout, const RECT& rect, DWORD format,
                                  D3DCOLOR color) {
        D3DVIEWPORT9 viewport{};
        device_->GetViewport(&viewport);
        if (viewport.Width == 0 || viewport.Height == 0) {
            return {};
        }
        // Pixel coordinates to clip space; the half pixel puts texel centres on pixel
        // centres under Direct3D's rasterisation rules.
        const auto clipX = [&](float x) {
            return (x - static_cast<float>(viewport.X) - 0.5f) /
                       static_cast<float>(viewport.Width) * 2.0f -
                   1.0f;
        };
        const auto clipY = [&](float y) {
            return 1.0f - (y - static_cast<float>(viewport.Y) - 0.5f) /
                              static_cast<float>(viewport.Height) * 2.0f;
        };
        const bool clip = (format & DT_NOCLIP) == 0;
        const float atlasWidth = static_cast<float>(atlas_.width());
        const float atlasHeight = static_cast<float>(atlas_.height());
        std::vector<TextVertex> vertices;
        for (const PlacedCharacter& placed : layout.characters) {
            const AtlasGlyph* glyph = atlas_.glyph(placed.character);
            if (glyph == nullptr || glyph->width == 0 || glyph->height == 0) {
                continue;
            }
            int x0 = placed.x + glyph->left;
            int y0 = placed.y + face_->ascent() - glyph->top;
            int x1 = x0 + glyph->width;
            int y1 = y0 + glyph->height;
            int u0 = glyph->x;
            int v0 = glyph->y;
            if (clip) {
                const int cx0 = std::max(x0, static_cast<int>(rect.left));
                const int cy0 = std::max(y0, static_cast<int>(rect.top));
                const int cx1 = std::min(x1, static_cast<int>(rect.right));
                const int cy1 = std::min(y1, static_cast<int>(rect.bottom));
                if (cx0 >= cx1 || cy0 >= cy1) {
                    continue;
                }
                u0 += cx0 - x0;
                v0 += cy0 - y0;
                x0 = cx0;
                y0 = cy0;
                x1 = cx1;
                y1 = cy1;
            }
            const float left = clipX(static_cast<float>(x0));
            const float right = clipX(static_cast<float>(x1));
            const float top = clipY(static_cast<float>(y0));
            const float bottom = clipY(static_cast<float>(y1));
            const float uLeft = static_cast<float>(u0) / atlasWidth;
            const float uRight = static_cast<float>(u0 + (x1 - x0)) / atlasWidth;
            const float vTop = static_cast<float>(v0) / atlasHeight;
            const float vBottom = static_cast<float>(v0 + (y1 - y0)) / atlasHeight;
            const TextVertex corners[4] = {{left, top, 0.5f, color, uLeft, vTop},
                                           {right, top, 0.5f, color, uRight, vTop},
                                           {right, bottom, 0.5f, color, uRight, vBottom},
                                           {left, bottom, 0.5f, color, uLeft, vBottom}};
            for (int index : {0, 1, 2, 0, 2, 3}) {
                vertices.push_back(corners[index]);
            }
        }
        return vertices;
    }

    bool submit(const std::vector<TextVertex>& vertices) {
        StateGuard guard(device_);
        device_->SetRenderState(D3DRS_ZENABLE, FALSE);
        device_->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device_->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
        device_->SetRenderState(D3DRS_SEPARATEALPHABLENDENABLE, FALSE);
        device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device_->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
        device_->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        device_->SetRenderState(D3DRS_STENCILENABLE, FALSE);
        device_->SetRenderState(D3DRS_FOGENABLE, FALSE);
        device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device_->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
        device_->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
        device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
        device_->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
        device_->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
        device_->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
        device_->SetTexture(0, atlas_.texture());
        device_->SetVertexShader(nullptr);
        device_->SetPixelShader(nullptr);
        device_->SetFVF(kTextFvf);
        return SUCCEEDED(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST,
                                                  static_cast<UINT>(vertices.size() / 3),
                                                  vertices.data(), sizeof(TextVertex)));
    }

    IDirect3DDevice9* device_;
    D3DXFONT_DESCW desc_;
    std::unique_ptr<FontFace> face_;
    GlyphAtlas atlas_;
    std::map<wchar_t, int> advances_;
    bool lost_ = false;
};

}  // namespace
}  // namespace d3dx9

HRESULT D3DXCreateFontIndirectW(IDirect3DDevice9* device, const D3DXFONT_DESCW* desc,
                                ID3DXFont** font) {
    if (font == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *font = nullptr;
    if (device == nullptr || desc == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    try {
        D3DXFONT_DESCW copy = *desc;
        copy.FaceName[31] = 0;  // a name that fills the field still ends inside it
        auto face = d3dx9::FontFace::open(d3dx9::toUtf8(copy.FaceName), copy.Height,
                                          static_cast<int>(copy.Weight), copy.Italic != 0);
        if (!face) {
            return E_FAIL;
        }
        *font = new d3dx9::Font(device, copy, std::move(face));
        return D3D_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}
