#include "font/text_layout.h"

#include <algorithm>

namespace d3dx9 {
namespace {

// The pen position after `character`, from `x` on a line that starts at 0.
int advanceFrom(int x, wchar_t character, DWORD format, const LayoutMetrics& metrics) {
    if (character == L'\t' && (format & DT_EXPANDTABS) && metrics.tabWidth > 0) {
        return (x / metrics.tabWidth + 1) * metrics.tabWidth;
    }
    return x + metrics.advance(character);
}

int lineWidth(const std::wstring& line, DWORD format, const LayoutMetrics& metrics) {
    int x = 0;
    for (wchar_t c : line) {
        x = advanceFrom(x, c, format, metrics);
    }
    return x;
}

std::vector<std::wstring> splitParagraphs(const std::wstring& text, DWORD format) {
    std::vector<std::wstring> paragraphs(1);
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            if (format & DT_SINGLELINE) {
                continue;
            }
            if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
                ++i;
            }
            paragraphs.emplace_back();
            continue;
        }
        paragraphs.back() += c;
    }
    return paragraphs;
}

// Breaks a paragraph between words so that each line fits `limit`.
void wrap(const std::wstring& paragraph, DWORD format, int limit, const LayoutMetrics& metrics,
          std::vector<std::wstring>& lines) {
    std::wstring line;
    size_t i = 0;
    while (i < paragraph.size()) {
        // The next word with the spaces in front of it.
        size_t end = i;
        while (end < paragraph.size() && paragraph[end] == L' ') {
            ++end;
        }
        while (end < paragraph.size() && paragraph[end] != L' ') {
            ++end;
        }
        const std::wstring piece = paragraph.substr(i, end - i);
        if (!line.empty() && lineWidth(line + piece, format, metrics) > limit) {
            lines.push_back(line);
            const size_t wordStart = piece.find_first_not_of(L' ');
            line = wordStart == std::wstring::npos ? std::wstring() : piece.substr(wordStart);
        } else {
            line += piece;
        }
        i = end;
    }
    lines.push_back(line);
}

}  // namespace

TextLayout layoutText(const std::wstring& text, DWORD format, const RECT& rect,
                      const LayoutMetrics& metrics) {
    std::vector<std::wstring> lines;
    const bool wordBreak = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    for (const std::wstring& paragraph : splitParagraphs(text, format)) {
        if (wordBreak) {
            wrap(paragraph, format, rect.right - rect.left, metrics, lines);
        } else {
            lines.push_back(paragraph);
        }
    }

    TextLayout layout;
    layout.height = static_cast<int>(lines.size()) * metrics.lineHeight;
    if (format & DT_VCENTER) {
        layout.top = rect.top + (rect.bottom - rect.top - layout.height) / 2;
    } else if (format & DT_BOTTOM) {
        layout.top = rect.bottom - layout.height;
    } else {
        layout.top = rect.top;
    }
    layout.left = rect.left;
    for (size_t n = 0; n < lines.size(); ++n) {
        const int width = lineWidth(lines[n], format, metrics);
        int x = rect.left;
        if (format & DT_CENTER) {
            x = rect.left + (rect.right - rect.left - width) / 2;
        } else if (format & DT_RIGHT) {
            x = rect.right - width;
        }
        layout.left = n == 0 ? x : std::min(layout.left, x);
        layout.width = std::max(layout.width, width);
        const int y = layout.top + static_cast<int>(n) * metrics.lineHeight;
        int pen = 0;
        for (wchar_t c : lines[n]) {
            layout.characters.push_back({c, x + pen, y});
            pen = advanceFrom(pen, c, format, metrics);
        }
    }
    return layout;
}

}  // namespace d3dx9
