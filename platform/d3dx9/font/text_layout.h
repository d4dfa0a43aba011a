// Where DrawText puts each character: line breaking, tabs and alignment by the DT_ flags.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <windows.h>

namespace d3dx9 {

struct PlacedCharacter {
    wchar_t character;
    int x;  // pen position on the baseline's line, from the rect's origin space
    int y;  // top of the character's line
};

struct TextLayout {
    std::vector<PlacedCharacter> characters;
    int width = 0;   // of the widest line
    int height = 0;  // lines x line height
    int top = 0;     // of the first line
    int left = 0;    // of the leftmost line
};

struct LayoutMetrics {
    std::function<int(wchar_t)> advance;
    int lineHeight = 0;
    int tabWidth = 0;  // tab stops every tabWidth pixels (DT_EXPANDTABS)
};

// Lines break at "\n", "\r\n" and "\r" (not with DT_SINGLELINE, where those are dropped)
// and, with DT_WORDBREAK, between words where a line would pass the rect's width. A word
// wider than the rect keeps a line to itself. DT_CENTER / DT_RIGHT and DT_VCENTER /
// DT_BOTTOM place the lines inside the rect.
TextLayout layoutText(const std::wstring& text, DWORD format, const RECT& rect,
                      const LayoutMetrics& metrics);

}  // namespace d3dx9
