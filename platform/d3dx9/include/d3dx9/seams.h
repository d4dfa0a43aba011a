// Test seams of the D3DX layer: a record of the text fonts were asked to draw, and a lower
// limit on the sides of image files.
#pragma once

#include <deque>
#include <string>

#include <d3d9.h>
#include <windows.h>

namespace d3dx9 {

// One ID3DXFont::DrawTextW call: the text (count applied), the rect as passed, the
// format, the colour and the result.
struct TextDraw {
    std::wstring text;
    RECT rect{};
    DWORD format = 0;
    D3DCOLOR color = 0;
    INT result = 0;
};

// Whether fonts record their DrawTextW calls. Off by default, so the game pays nothing for
// the record; every test executable turns it on at start.
void setTextRecording(bool on);
bool textRecording();

// Every call of every font, while recording was on, since the last clear; the oldest go
// beyond kMaxTextDraws.
constexpr size_t kMaxTextDraws = 4096;
const std::deque<TextDraw>& textDraws();
void clearTextDraws();

// The longest side an image file may declare, 16384 unless lowered here (never raised above
// it). The texture fuzz target lowers it, so that what a tiny file may decode to stays small.
void setImageSideLimit(UINT side);
UINT imageSideLimit();

}  // namespace d3dx9
