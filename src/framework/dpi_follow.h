// Following a dialog or property sheet to a new DPI (WM_DPICHANGED), and fonts made
// for a DPI.
//
// Windows 10 can scale a dialog by itself when it moves to a monitor of another DPI,
// but not the windows a dialog creates in code (the settings sheet's tree and frame)
// and not on older systems or under Wine. So the program turns that off and does it
// one way everywhere: the window takes the rectangle the system suggests, every child
// moves and grows by the ratio of the two DPIs (the controls of child dialogs, such as
// property pages, too), and each font in use is replaced by one made for the new DPI.
// What a class draws itself (its own fonts, pictures, measures) it rebuilds in its
// own handler afterwards.
#pragma once

#include "framework/gdi.h"

#include <vector>

namespace lex {

// Stops the system from scaling this dialog by itself when its DPI changes.
void TakeOverDialogDpiScaling(HWND dialog);

// A font like `font` with its height scaled from fromDpi to toDpi.
CFont ScaleFont(HFONT font, int fromDpi, int toDpi);

// A stock font (SYSTEM_FONT, DEFAULT_GUI_FONT…), which the system makes for its own
// DPI, made again for dpi. At the system DPI it is a copy of the stock font.
CFont StockFontForDpi(int stockObject, int dpi);

class CDpiRelayout {
public:
    // window (top-level) takes `suggested`, in screen coordinates; its children move and
    // grow by newDpi / oldDpi, and those of child dialogs too; fonts follow.
    void Apply(HWND window, int oldDpi, int newDpi, const RECT& suggested);

private:
    struct FontPair {
        HFONT from;
        HFONT to;
    };
    void ScaleChildren(HWND parent, int oldDpi, int newDpi, std::vector<FontPair>& pairs, std::vector<CFont>& made);
    HFONT FontFor(HFONT font, int oldDpi, int newDpi, std::vector<FontPair>& pairs, std::vector<CFont>& made);

    // The fonts made for the current DPI, in use by the windows.
    std::vector<CFont> m_fonts;
};

} // namespace lex
