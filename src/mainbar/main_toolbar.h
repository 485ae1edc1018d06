// CMainToolBar: the flat toolbar that fills the main bar. It loads toolbar resources
// (type 241 with a strip bitmap of the same id), answers its tooltip requests from the
// string table, and turns a left-button press outside its buttons into a caption press
// of the main bar so the bar can be dragged by the toolbar.
#pragma once

#include "framework/controls.h"
#include "framework/dpi.h"

class CMainToolBar : public lex::CToolBarCtrl {
public:
    BOOL LoadToolBar(UINT resourceId) { return LoadToolBar(resourceId, lex::DrawnStrip{resourceId, 0, 0}, lex::kBaseDpi); }
    // Loads the toolbar for a window at dpi: the buttons and gaps scaled from their
    // 96-DPI sizes, the images from the strip of `art` drawn for that size (the
    // resource's own 16-pixel strip when no bigger one is drawn).
    BOOL LoadToolBar(UINT resourceId, const lex::DrawnStrip& art, int dpi);
    // Replaces all buttons: id 0 gives a separator, others plain buttons whose image is
    // the count of plain buttons before them. With ids nullptr, count blank buttons.
    BOOL SetButtons(const UINT* ids, int count);
    // Fills a tooltip request (TTN_GETDISPINFO, A or W) for a button from the string
    // whose id is the button's command: the part after the newline. TRUE if it was one.
    BOOL OnTooltipNotify(NMHDR* header, LRESULT* result);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // The DPI the toolbar was loaded for, and the size of its images.
    const lex::CDpi& Dpi() const { return m_dpi; }
    SIZE ImageSize() const { return m_imageSize; }

private:
    lex::CDpi m_dpi;
    SIZE m_imageSize = {0, 0};

    // Whether a toolbar client point lies on a button (not on a separator or gap).
    BOOL IsOnButton(POINT pt) const;
};
