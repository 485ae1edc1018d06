// CColorButton: a push button showing a colour swatch and a drop-down arrow. A click
// opens CColorPalettePopup under it; the popup's reports come back to the button,
// which passes them on to its parent as the UWM_COLOR_* messages (wParam the colour,
// lParam the button's control id).
#pragma once

#include "framework/controls.h"

#include <string>

namespace lex {

constexpr UINT UWM_COLOR_SELCHANGE = WM_USER + 1001;    // hot colour changed / colour changed
constexpr UINT UWM_COLOR_DROPDOWN = WM_USER + 1002;     // popup opened
constexpr UINT UWM_COLOR_CLOSEUP = WM_USER + 1003;      // popup closed, before the outcome
constexpr UINT UWM_COLOR_SELENDOK = WM_USER + 1004;     // pick confirmed
constexpr UINT UWM_COLOR_SELENDCANCEL = WM_USER + 1005; // pick cancelled

// The colour a button holds while it follows its automatic colour.
constexpr COLORREF CLR_AUTOMATIC = 0xFF000000u;

class CColorButton : public CButton {
public:
    CColorButton();

    COLORREF GetColor() const { return m_color; }
    // Stores the colour and repaints the button at once.
    void SetColor(COLORREF color);
    COLORREF GetAutoColor() const { return m_autoColor; }
    void SetAutoColor(COLORREF color) { m_autoColor = color; }
    // Captions of the popup's text boxes the next time it opens; empty removes the box.
    void SetAutoText(const std::string& text) { m_autoText = text; }
    void SetMoreText(const std::string& text) { m_moreText = text; }
    // When on, the button takes every colour the popup's hot item shows.
    void SetLiveTracking(bool on) { m_liveTracking = on; }
    bool IsPopupOpen() const { return m_popupOpen; }

    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    virtual void DrawItem(const DRAWITEMSTRUCT& item);

private:
    void OpenPopup();
    void NotifyParent(UINT msg, COLORREF color);

    COLORREF m_color;
    COLORREF m_autoColor;
    std::string m_autoText = "Automatic";
    std::string m_moreText = "More Colors...";
    bool m_popupOpen = false;
    bool m_liveTracking = false;
};

} // namespace lex
