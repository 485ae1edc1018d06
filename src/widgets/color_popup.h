// CColorPalettePopup: the borderless palette under a colour button: 40 colour cells,
// an optional automatic box above them and an optional more-colours box below, which
// opens the system colour dialog. Driven by mouse (it holds the capture) and keyboard;
// each cell names its colour in a tooltip. It reports the hot colour and the outcome
// to its button and deletes itself when its window is gone.
#pragma once

#include "framework/dpi.h"
#include "framework/gdi.h"
#include "framework/wnd.h"
#include "widgets/color_palette.h"

#include <string>

namespace lex {

class CColorPalettePopup : public CWnd {
public:
    static const wchar_t kClassName[];

    // Opens a popup at (x, y) in screen coordinates for the button. Returns nullptr,
    // with nothing shown, when the window cannot be made.
    static CColorPalettePopup* Open(POINT at, COLORREF color, HWND button, const std::string& autoText,
                                    const std::string& moreText);

    int GetHotItem() const { return m_hot; }
    int GetMarkedItem() const { return m_marked; }
    COLORREF GetCurrentColor() const { return m_current; }
    const palette::Layout& GetLayout() const { return m_layout; }
    HWND GetToolTip() const { return m_toolTip; }

    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override
    {
        if (m_ownsSelf)
            delete this;
    }

private:
    CColorPalettePopup() = default;
    ~CColorPalettePopup() override = default;
    BOOL Create(POINT at, COLORREF color, HWND button, const std::string& autoText, const std::string& moreText);
    void LayOut(POINT at);
    void CreateToolTips();
    void ChangeHot(int item);
    void EndPick(bool ok);
    bool ItemExists(int item) const;
    void DrawItem(HDC dc, int item);
    void DrawCell(HDC dc, int item);
    void DrawTextBox(HDC dc, int item);
    void OnPaint();
    void OnKeyDown(UINT vk);

    CDpi m_dpi;
    palette::Layout m_layout;
    int m_hot = palette::kNoItem;
    int m_marked = palette::kNoItem;
    std::string m_autoText;
    std::string m_moreText;
    CFont m_font;
    CGdiObjectT<HPALETTE> m_palette;
    COLORREF m_initial = 0;
    COLORREF m_current = 0;
    HWND m_toolTip = nullptr;
    HWND m_button = nullptr;
    bool m_childDialogOpen = false;
    bool m_closing = false;
    bool m_ownsSelf = false; // from a successful creation on, the window owns the object
};

} // namespace lex
