#include "engine/render/gui/font.h"

#include <exception>

#include "engine/core/errors.h"
#include "engine/render/log_lines.h"

namespace kesh {
namespace {

DWORD channel(float f) {
    if (f >= 1.0f) {
        return 255;
    }
    if (!(f > 0.0f)) {
        return 0;
    }
    return static_cast<DWORD>(f * 255.0f + 0.5f);
}

int screenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace

D3DCOLOR colorFromFloats(const float rgba[4]) {
    return channel(rgba[3]) << 24 | channel(rgba[0]) << 16 | channel(rgba[1]) << 8 |
           channel(rgba[2]);
}

Font::Font(DxDevice* dxDevice, const FontDesc& desc) : device(dxDevice) {
    height = desc.points * screenDpi() / 72;
    D3DXFONT_DESCW fontDesc{};
    fontDesc.Height = -height;
    fontDesc.Width = 0;
    fontDesc.Weight = FW_BOLD;
    fontDesc.MipLevels = 1;
    fontDesc.Italic = FALSE;
    fontDesc.CharSet = DEFAULT_CHARSET;
    fontDesc.OutputPrecision = OUT_DEFAULT_PRECIS;
    fontDesc.Quality = ANTIALIASED_QUALITY;
    fontDesc.PitchAndFamily = 0;
    const std::size_t length = std::min<std::size_t>(desc.face.size(), 31);
    for (std::size_t i = 0; i < length; ++i) {
        fontDesc.FaceName[i] = static_cast<wchar_t>(static_cast<signed char>(desc.face[i]));
    }
    fontDesc.FaceName[length] = L'\0';
    const HRESULT hr = D3DXCreateFontIndirectW(device->getDevice(), &fontDesc, font.out());
    if (FAILED(hr) || !font) {
        throwDxError(FAILED(hr) ? hr : E_FAIL, L"Cannot create ID3DXFont");
    }
    device->addListener(this);
}

Font::~Font() {
    try {
        device->removeListener(this);
    } catch (const std::exception& e) {
        writeLine(boost::log::logError(), "Font: ", e.what());
    } catch (...) {
        writeLine(boost::log::logError(), "Font: unknown exception at destruction");
    }
}

void Font::OnLostDevice() {
    const HRESULT hr = font->OnLostDevice();
    if (FAILED(hr)) {
        throwDxError(hr, L"ID3DXFont::OnLostDevice");
    }
}

void Font::OnResetDevice() {
    const HRESULT hr = font->OnResetDevice();
    if (FAILED(hr)) {
        throwDxError(hr, L"ID3DXFont::OnResetDevice");
    }
}

int Font::drawText(const wchar_t* text, int count, RECT* rect, const float rgba[4], DWORD format) {
    return font->DrawTextW(nullptr, text, count, rect, format | DT_EXPANDTABS,
                           colorFromFloats(rgba));
}

int Font::measureText(const wchar_t* text, int count, RECT* rect, DWORD format) {
    return font->DrawTextW(nullptr, text, count, rect, format | DT_CALCRECT | DT_EXPANDTABS, 0);
}

}  // namespace kesh
