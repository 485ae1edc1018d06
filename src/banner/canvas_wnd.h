// CCanvasWnd: the banner's base window. A static control that owns the item list,
// the background colour with its brush and the item fonts, and paints its items side
// by side from its left edge, each in its own font, colour and back colour.
//
// Item fonts derive from the host's font (WM_SETFONT). Building a font and measuring
// text is by far the most expensive part of a paint, and the banner repaints a
// one-pixel column 83 times a second, so fonts and text widths are cached: fonts by
// the description CreateItemFont would give, widths per list position. The caches
// belong to the window and are dropped when its font, size or auto-size change and
// when it is destroyed. SetCachingEnabled(false) paints the plain way (a new font per
// item per paint) for comparison.
#pragma once

#include "banner/canvas_items.h"
#include "framework/controls.h"
#include "framework/dpi.h"
#include "framework/gdi.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

class CCanvasWnd : public lex::CStatic, public CCanvasItems {
public:
    CCanvasWnd();
    ~CCanvasWnd() override;

    // -1 means the system button-face colour as it is now.
    void SetBackgroundColor(COLORREF colour);
    COLORREF GetBackgroundColor() const { return m_backColor; }
    // The DPI of the monitor the control is on (the system DPI unless the host says):
    // its frame and, without auto-size, its item fonts follow it. Set before the window
    // is created; a new DPI takes effect with the next window.
    void SetDpi(int dpi) { m_dpi.SetDpi(dpi); }
    int GetDpi() const { return m_dpi.Dpi(); }
    // On: item fonts are as tall as the client area. No repaint by itself.
    void SetAutoSize(BOOL on);
    BOOL GetAutoSize() const { return m_autoSize ? TRUE : FALSE; }

    // Builds the item font for one item from the window's font and the item's style;
    // it replaces the previous item font. GetItemFont gives it (nullptr if none).
    void CreateItemFont(const CBannerItem& item);
    HFONT GetItemFont() const { return m_itemFont.GetSafeHandle(); }

    // Process-wide switch between cached and plain painting (benchmarks compare both).
    static void SetCachingEnabled(bool on);
    static bool IsCachingEnabled();

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    bool CanvasWindowExists() const override;
    void CanvasInvalidateAll() override;

    // WM_PAINT: the plain canvas fills its background and draws the items from its
    // left edge.
    virtual void OnPaint();
    // WM_SIZE, after the default handling: the client rectangle and the fonts follow.
    virtual void OnSize();
    // The border (WS_BORDER) is one pixel at 96 DPI and scales: beyond the system's
    // one-pixel line, ExtraBorder() more pixels are taken from the client area.
    int ExtraBorder() const;
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    void OnNcPaint();
    // When the window goes. The plain canvas drops its fonts, caches and brush. A canvas
    // whose window is made again (keepForNextWindow) keeps them: the next window's first
    // paint checks the host font and height, and keeps the measured fonts and widths if
    // neither changed (a resize of the bar makes a new window of the same height).
    void ReleaseWindowResources(bool keepForNextWindow);

    const RECT& ClientRect() const { return m_clientRect; }
    HBRUSH BackgroundBrush();

    // Draws the items in list order, item 0 at x = startX, inside the paint DC whose
    // invalid area is paintRect. Every item's width (text extent plus overhang) is
    // reported through placed, in order, whether or not the item was drawn. With the
    // caches on, only items that can reach paintRect are drawn; the picture is the
    // same as drawing them all. The DC shows the client area, or with surfaceWidth a
    // surface of that width and the client area's height.
    void DrawLine(lex::CDC& dc, int startX, const RECT& paintRect, const std::function<void(int)>& placed,
                  int surfaceWidth = 0);

    // Masked items (BANNER_MASKED) among first .. first + count - 1 are drawn as their
    // text; the others as a veil of the same width. No repaint by itself; true when
    // the range changed.
    bool SetRevealedRange(int first, int count);
    bool IsRevealed(int index) const;

private:
    // A masked item's cell, with the item's colours selected and its font in dc.
    void DrawVeil(HDC dc, const CBannerItem& item, int left, int width, const std::wstring& wide);
    // The description CreateItemFont builds, without creating the font.
    void DescribeItemFont(const CBannerItem& item, LOGFONTW* lf);
    // The host font's description with the height and width rules applied: all that
    // item fonts share. Caches built for another base are stale.
    void DescribeBaseFont(LOGFONTW* lf);

    struct CachedFont {
        lex::CFont font;
        int overhang = 0;
        // How far right of its cell an item's ink may reach (italic lean, overhang), for
        // text whose glyphs cannot be measured one by one.
        int inkMargin = 0;
        // Added to a measured reach for an italic font, whose lean a font may simulate
        // without showing it in the glyph measures.
        int italicSlack = 0;
    };
    struct CachedWidth {
        std::string text;
        int fontKey = -1;
        int width = 0;
        std::wstring wide;
        // No '&' and no line break: DrawText with no format flags would draw exactly what
        // ExtTextOut clipped to the cell draws, without first measuring the text again.
        bool plainText = false;
        // How far right of its cell this item's ink reaches.
        int inkPast = 0;
    };
    static int FontKeyOf(const CBannerItem& item);
    void RefreshCacheBase();
    CachedFont& FontFor(const CBannerItem& item, HDC dc);
    const CachedWidth& WidthFor(int index, const CBannerItem& item, HDC dc);
    // How far right of the pen's end the glyphs of text reach in dc's font (selected).
    static int InkPastCell(HDC dc, const std::wstring& text, const CachedFont& font, bool italic);

    // right: the right edge of what the DC shows.
    void DrawLinePlain(lex::CDC& dc, int startX, int right, const std::function<void(int)>& placed);
    void DrawLineCached(lex::CDC& dc, int startX, const RECT& paintRect, int right,
                        const std::function<void(int)>& placed);
    void SetItemColours(lex::CDC& dc, const CBannerItem& item);
    // Selects the system font back into the private DC, so that no cached font is
    // selected anywhere when the cache deletes it.
    void LetGoOfKeptFont();

    lex::CDpi m_dpi{lex::SystemDpi()};
    COLORREF m_backColor = 0;
    lex::CBrush m_backBrush;
    lex::CFont m_itemFont;
    RECT m_clientRect = {0, 0, 0, 0};
    // The window's private DC when its class has one (the banner's does), else null.
    HDC m_ownDc = nullptr;
    // The font the window was given (WM_SETFONT), which the canvas keeps itself: the
    // static control's own keeping of it costs about half a millisecond under Wine,
    // once for each new banner window in a resize step, and its text is never drawn.
    HFONT m_hostFont = nullptr;
    BYTE m_autoSize = 1;
    int m_revealFirst = 0;
    int m_revealCount = 0;

    // Caches, valid for m_cacheBase.
    bool m_cacheBaseValid = false;
    // Something the base font depends on may have changed (host font, size, auto-size):
    // describe it again at the next paint. Otherwise a paint asks nothing of the window.
    bool m_cacheBaseDirty = true;
    LOGFONTW m_cacheBase = {};
    // Bold, italic, underline and the face (four choices): 32 descriptions.
    std::array<CachedFont, 32> m_fonts;
    std::vector<CachedWidth> m_widths;
};
