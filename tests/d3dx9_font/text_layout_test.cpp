// Text layout with fixed metrics: every character 10 pixels wide ('i' 4), lines 16 high,
// tab stops every 80.
#include <gtest/gtest.h>

#include "platform/d3dx9/font/text_layout.h"

namespace {

using d3dx9::LayoutMetrics;
using d3dx9::layoutText;
using d3dx9::TextLayout;

LayoutMetrics fixedMetrics() {
    LayoutMetrics metrics;
    metrics.advance = [](wchar_t c) { return c == L'i' ? 4 : 10; };
    metrics.lineHeight = 16;
    metrics.tabWidth = 80;
    return metrics;
}

TextLayout layout(const wchar_t* text, DWORD format, RECT rect = {10, 20, 110, 120}) {
    return layoutText(text, format, rect, fixedMetrics());
}

std::wstring lineAt(const TextLayout& l, int y) {
    std::wstring out;
    for (const auto& c : l.characters) {
        if (c.y == y) {
            out += c.character;
        }
    }
    return out;
}

TEST(TextLayout, OneLineFromTheTopLeftCorner) {
    const auto l = layout(L"Hi ok", DT_LEFT | DT_TOP);
    ASSERT_EQ(l.characters.size(), 5u);
    EXPECT_EQ(l.characters[0].x, 10);
    EXPECT_EQ(l.characters[1].x, 20);
    EXPECT_EQ(l.characters[2].x, 24);
    EXPECT_EQ(l.characters[4].y, 20);
    EXPECT_EQ(l.width, 44);
    EXPECT_EQ(l.height, 16);
}

TEST(TextLayout, LineBreaksOfEveryKindUnlessSingleLine) {
    const auto l = layout(L"ab\r\ncd\nef\rgh", 0);
    EXPECT_EQ(l.height, 64);
    EXPECT_EQ(lineAt(l, 20), L"ab");
    EXPECT_EQ(lineAt(l, 36), L"cd");
    EXPECT_EQ(lineAt(l, 52), L"ef");
    EXPECT_EQ(lineAt(l, 68), L"gh");

    const auto single = layout(L"ab\r\ncd\nef", DT_SINGLELINE);
    EXPECT_EQ(single.height, 16);
    EXPECT_EQ(lineAt(single, 20), L"abcdef");
    EXPECT_EQ(single.width, 60);
}

TEST(TextLayout, WordBreakWrapsBetweenWordsWithinTheWidth) {
    // 100 wide: "aaa bbb" is 70, adding " ccc" would make 110.
    const auto l = layout(L"aaa bbb ccc", DT_WORDBREAK);
    EXPECT_EQ(lineAt(l, 20), L"aaa bbb");
    EXPECT_EQ(lineAt(l, 36), L"ccc");
    EXPECT_EQ(l.width, 70);
    EXPECT_EQ(l.height, 32);

    // A word wider than the rect keeps a line of its own, unbroken.
    const auto wide = layout(L"ab abcdefghijklm cd", DT_WORDBREAK);
    EXPECT_EQ(lineAt(wide, 20), L"ab");
    EXPECT_EQ(lineAt(wide, 36), L"abcdefghijklm");
    EXPECT_EQ(lineAt(wide, 52), L"cd");
    EXPECT_EQ(wide.width, 124);  // twelve letters and an i

    // Without the flag nothing wraps.
    EXPECT_EQ(layout(L"aaa bbb ccc", 0).height, 16);
}

TEST(TextLayout, AlignmentInsideTheRect) {
    // "abc" is 30 wide and 16 high in a 100 x 100 rect at (10, 20).
    EXPECT_EQ(layout(L"abc", DT_CENTER).characters[0].x, 10 + 35);
    EXPECT_EQ(layout(L"abc", DT_RIGHT).characters[0].x, 110 - 30);
    const auto middle = layout(L"abc", DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(middle.top, 20 + 42);
    EXPECT_EQ(middle.characters[0].y, 62);
    EXPECT_EQ(layout(L"abc", DT_BOTTOM | DT_SINGLELINE).top, 120 - 16);

    // Button labels: centred both ways, wrapped, each line centred on its own.
    const auto label =
        layout(L"aaaa bb", DT_CENTER | DT_VCENTER | DT_WORDBREAK, RECT{0, 0, 50, 100});
    EXPECT_EQ(label.height, 32);
    EXPECT_EQ(label.top, 34);
    EXPECT_EQ(label.characters[0].x, 5);   // "aaaa" is 40 wide
    EXPECT_EQ(label.characters[4].x, 15);  // "bb" is 20 wide; the space went with the break
    EXPECT_EQ(label.left, 5);
}

TEST(TextLayout, TabsGoToTheNextStopOnlyWhenExpanded) {
    const auto expanded = layout(L"a\tb", DT_EXPANDTABS);
    EXPECT_EQ(expanded.characters[2].x, 10 + 80);
    const auto twoStops = layout(L"abcdefgh\tb", DT_EXPANDTABS);
    EXPECT_EQ(twoStops.characters[9].x, 10 + 160);
    EXPECT_EQ(layout(L"a\tb", 0).characters[2].x, 10 + 20);
}

TEST(TextLayout, EmptyTextIsOneEmptyLine) {
    const auto l = layout(L"", 0);
    EXPECT_TRUE(l.characters.empty());
    EXPECT_EQ(l.width, 0);
    EXPECT_EQ(l.height, 16);
}

}  // namespace
