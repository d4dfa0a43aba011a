// On-screen text through one ID3DXFont: sized in points for the screen's resolution, drawn
// with a colour of four floats, measured, and kept across device loss as a listener.
#pragma once

#include <d3dx9.h>
#include <windows.h>

#include <string>

#include "engine/render/device/device_listener.h"
#include "engine/render/device/dx_device.h"
#include "win32/com_ptr.h"

namespace kesh {

struct FontDesc {
    int points = 10;
    std::string face;
};

class Font : public DeviceListener {
public:
    // Bold, antialiased, the face cut to 31 characters. Throws std::runtime_error when the
    // font cannot be made.
    Font(DxDevice* device, const FontDesc& desc);
    // Never throws: failures are logged.
    ~Font() override;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    void OnLostDevice() override;
    void OnResetDevice() override;

    // rgba in 0..1 (clamped); DT_EXPANDTABS is always added. Returns the text's height.
    int drawText(const wchar_t* text, int count, RECT* rect, const float rgba[4], DWORD format);
    // The rectangle receives the text's extent; nothing is drawn.
    int measureText(const wchar_t* text, int count, RECT* rect, DWORD format);

    int getHeight() const { return height; }
    ID3DXFont* getFont() const { return font.get(); }

private:
    DxDevice* device;
    win32::ComPtr<ID3DXFont> font;
    int height = 0;  // character height in pixels
};

// ARGB from four floats: 255 at >= 1, 0 at <= 0, else trunc(f x 255 + 0.5).
D3DCOLOR colorFromFloats(const float rgba[4]);

}  // namespace kesh
