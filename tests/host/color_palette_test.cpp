// The palette popup's rules without windows: layout, keyboard moves, the marked item
// and keeping the popup on the monitor of its button.
#include "widgets/color_palette.h"

#include <gtest/gtest.h>

using namespace lex;
using namespace lex::palette;

namespace {
constexpr int kBox = 18, kMargin = 2;
}

TEST(PalettePopupLayout, WithoutTextsIsExactlyTheGrid)
{
    Layout l = LayoutPopup(100, 200, kBox, kMargin, kPaletteColorCount, false, false, 0, 0);
    EXPECT_EQ(l.rows, 5);
    EXPECT_EQ(l.window, (Rect{100, 200, 100 + 8 * kBox + 2 * kMargin, 200 + 5 * kBox + 2 * kMargin}));
    EXPECT_EQ(l.Cell(0), (Rect{kMargin, kMargin, kMargin + kBox, kMargin + kBox}));
    EXPECT_EQ(l.Cell(39), (Rect{kMargin + 7 * kBox, kMargin + 4 * kBox, kMargin + 8 * kBox, kMargin + 5 * kBox}));
    // Hit testing finds every cell at its centre and nothing in the frame margin.
    for (int i = 0; i < kPaletteColorCount; ++i) {
        Rect c = l.Cell(i);
        EXPECT_EQ(l.HitTest((c.left + c.right) / 2, (c.top + c.bottom) / 2), i);
        EXPECT_EQ(l.HitTest(c.left, c.top), i);
        EXPECT_EQ(l.HitTest(c.right - 1, c.bottom - 1), i);
    }
    EXPECT_EQ(l.HitTest(0, 0), kNoItem);
    EXPECT_EQ(l.HitTest(l.window.Width() - 1, l.window.Height() - 1), kNoItem);
    // A colour count that does not fill the last row adds a row with holes.
    Layout partial = LayoutPopup(0, 0, kBox, kMargin, 42, false, false, 0, 0);
    EXPECT_EQ(partial.rows, 6);
    EXPECT_EQ(partial.HitTest(partial.Cell(41).left + 1, partial.Cell(41).top + 1), 41);
    EXPECT_EQ(partial.HitTest(partial.Cell(40).left + 3 * kBox, partial.Cell(40).top + 1), kNoItem);
}

TEST(PalettePopupLayout, TextBoxesAboveAndBelowTheGrid)
{
    // Texts 50 wide and 12 high: box height 12 + 4m + 2 = 22; narrower than the grid.
    const int textH = 12 + 4 * kMargin + 2;
    const int gridW = 8 * kBox + 2 * kMargin;
    Layout l = LayoutPopup(10, 20, kBox, kMargin, kPaletteColorCount, true, true, 50, 12);
    EXPECT_EQ(l.autoBox, (Rect{kMargin, kMargin, gridW - kMargin, textH + 2 * kMargin}));
    const int cellsTop = kMargin + l.autoBox.Height() + kMargin;
    EXPECT_EQ(l.Cell(0).top, cellsTop);
    const int hAfterAuto = 5 * kBox + 2 * kMargin + textH + 3 * kMargin;
    EXPECT_EQ(l.moreBox, (Rect{kMargin, hAfterAuto, gridW - kMargin, hAfterAuto + kMargin + textH}));
    EXPECT_EQ(l.window, (Rect{10, 20, 10 + gridW, 20 + hAfterAuto + textH + 3 * kMargin}));
    // Cells lie between the boxes, none overlapping them.
    EXPECT_GE(l.Cell(0).top, l.autoBox.bottom);
    EXPECT_LE(l.Cell(39).bottom, l.moreBox.top);
    EXPECT_EQ(l.HitTest(40, kMargin + 3), kAutoBox);
    EXPECT_EQ(l.HitTest(40, l.moreBox.top + 3), kMoreBox);
    EXPECT_EQ(l.HitTest(l.Cell(8).left + 1, l.Cell(8).top + 1), 8);

    // A text wider than the grid widens the popup and both boxes.
    Layout wide = LayoutPopup(0, 0, kBox, kMargin, kPaletteColorCount, true, true, 300, 12);
    EXPECT_EQ(wide.window.Width(), 300 + 2 * kMargin);
    EXPECT_EQ(wide.autoBox.right, 300 + kMargin);
    EXPECT_EQ(wide.moreBox.right, 300 + kMargin);
    // Only the more box: it sits right under the grid.
    Layout more = LayoutPopup(0, 0, kBox, kMargin, kPaletteColorCount, false, true, 50, 12);
    EXPECT_EQ(more.Cell(0).top, kMargin);
    EXPECT_EQ(more.moreBox.top, 5 * kBox + 2 * kMargin);
    EXPECT_EQ(BoxSize(2), 18);
    EXPECT_EQ(BoxSize(6), 19);
}

TEST(PalettePopupKeys, WholeTable)
{
    const int n = kPaletteColorCount, last = n - 1;
    auto move = [](Key k, int hot, bool a, bool m) {
        KeyResult r = OnKey(k, hot, kPaletteColorCount, a, m);
        EXPECT_EQ(r.action, KeyAction::Move);
        return r.target;
    };
    // Inside the grid.
    EXPECT_EQ(move(Key::Down, 3, true, true), 11);
    EXPECT_EQ(move(Key::Up, 11, true, true), 3);
    EXPECT_EQ(move(Key::Right, 3, true, true), 4);
    EXPECT_EQ(move(Key::Right, 7, true, true), 8); // wraps to the next row
    EXPECT_EQ(move(Key::Left, 8, true, true), 7);  // back to column 7 of the row above
    EXPECT_EQ(move(Key::Left, 9, true, true), 8);
    // Off the bottom or the end: more box, else automatic box, else cell 0.
    for (Key k : {Key::Down, Key::Right}) {
        int from = k == Key::Down ? 35 : last;
        EXPECT_EQ(move(k, from, true, true), kMoreBox);
        EXPECT_EQ(move(k, from, true, false), kAutoBox);
        EXPECT_EQ(move(k, from, false, false), 0);
    }
    // Off the top or the start: automatic box, else more box, else the last cell.
    for (Key k : {Key::Up, Key::Left}) {
        int from = k == Key::Up ? 5 : 0;
        EXPECT_EQ(move(k, from, true, true), kAutoBox);
        EXPECT_EQ(move(k, from, false, true), kMoreBox);
        EXPECT_EQ(move(k, from, false, false), last);
    }
    // From the automatic box.
    EXPECT_EQ(move(Key::Down, kAutoBox, true, true), 0);
    EXPECT_EQ(move(Key::Right, kAutoBox, true, true), 0);
    EXPECT_EQ(move(Key::Up, kAutoBox, true, true), kMoreBox);
    EXPECT_EQ(move(Key::Up, kAutoBox, true, false), last);
    EXPECT_EQ(move(Key::Left, kAutoBox, true, true), kMoreBox);
    EXPECT_EQ(move(Key::Left, kAutoBox, true, false), last);
    // From the more box.
    EXPECT_EQ(move(Key::Down, kMoreBox, true, true), kAutoBox);
    EXPECT_EQ(move(Key::Down, kMoreBox, false, true), 0);
    EXPECT_EQ(move(Key::Right, kMoreBox, true, true), kAutoBox);
    EXPECT_EQ(move(Key::Right, kMoreBox, false, true), 0);
    EXPECT_EQ(move(Key::Up, kMoreBox, true, true), last);
    EXPECT_EQ(move(Key::Left, kMoreBox, true, true), last);
    // Nothing hot: every arrow takes its fallback.
    EXPECT_EQ(move(Key::Down, kNoItem, true, true), kMoreBox);
    EXPECT_EQ(move(Key::Right, kNoItem, false, false), 0);
    EXPECT_EQ(move(Key::Up, kNoItem, true, true), kAutoBox);
    EXPECT_EQ(move(Key::Left, kNoItem, false, false), last);
    // Ending keys and the rest.
    EXPECT_EQ(OnKey(Key::Escape, 4, n, true, true).action, KeyAction::Cancel);
    EXPECT_EQ(OnKey(Key::Enter, 4, n, true, true).action, KeyAction::Ok);
    EXPECT_EQ(OnKey(Key::Other, 4, n, true, true).action, KeyAction::None);
}

TEST(PalettePopupMarkedItem, FollowsTheInitialColour)
{
    EXPECT_EQ(MarkedItem(kColorAutomatic, true, true), kAutoBox);
    EXPECT_EQ(MarkedItem(kColorAutomatic, false, true), kMoreBox);
    EXPECT_EQ(MarkedItem(kColorAutomatic, false, false), kNoItem);
    EXPECT_EQ(MarkedItem(0x000000, true, true), 0);
    EXPECT_EQ(MarkedItem(0xFF0000, true, true), 13);   // blue
    EXPECT_EQ(MarkedItem(0xFFFFFF, true, true), kPaletteColorCount - 1);
    EXPECT_EQ(MarkedItem(0x123456, true, true), kMoreBox);
    EXPECT_EQ(MarkedItem(0x123456, true, false), kNoItem);
}

TEST(PalettePopupPlacement, OpensAboveTheButtonOnlyWhenBelowPassesTheBottom)
{
    // A second monitor above the primary one: its work area ends at y 824.
    const int workBottom = 824;
    const int w = 148, h = 94, button = 20;
    // Room enough below: unchanged.
    Rect r = {-600, 300, -600 + w, 300 + h};
    EXPECT_EQ(OpenAboveWhenLow(r, workBottom, button), r);
    // Ending exactly at the bottom still fits.
    r = {-600, workBottom - h, -600 + w, workBottom};
    EXPECT_EQ(OpenAboveWhenLow(r, workBottom, button), r);
    // Past the bottom: above the button, whose top the popup's bottom now touches.
    r = {-600, 800, -600 + w, 800 + h};
    EXPECT_EQ(OpenAboveWhenLow(r, workBottom, button), (Rect{-600, 686, -600 + w, 780}));
}
