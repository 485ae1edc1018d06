// CMainToolBar: the flat toolbar that fills the main bar. It loads toolbar resources
// (type 241 with a strip bitmap of the same id), answers its tooltip requests from the
// string table, and turns a left-button press outside its buttons into a caption press
// of the main bar so the bar can be dragged by the toolbar. It owns the banner, which
// sits in the slot of the toolbar's separator ID_BANNER_SLOT and is made again in it
// whenever the bar is resized.
#pragma once

#include "banner/banner_ctrl.h"
#include "framework/controls.h"
#include "framework/dpi.h"
#include "framework/gdi.h"

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

    // The DPI the toolbar was loaded for.
    const lex::CDpi& Dpi() const { return m_dpi; }

    // The main bar's toolbar pictures at each size they are drawn at (the bar's menus
    // show them too).
    static lex::DrawnStrip Art();

    // The main bar's toolbar in bar, for dpi, with the banner in a slot of slotWidth
    // pixels drawn in the host font and the two gaps narrowed.
    BOOL CreateForBar(HWND bar, UINT id, int dpi, int slotWidth, HFONT font);
    // The banner slot's width, 0 without a toolbar.
    int SlotWidth() const;

    // One step of resizing the bar: the toolbar takes the bar's new size, the slot takes
    // the change of width, and the banner is made again in it (its object keeps its
    // items). What was waiting to be painted before the step is kept for FinishResize.
    struct ResizeStep {
        lex::CGdiObjectT<HRGN> waiting;
        bool waitingKnown = false;
        bool sameHeight = false;
        int slotLeft = 0;
    };
    ResizeStep Resize(int cx, int cy, HFONT font);
    // After the step (the bar re-applied its settings, which asks for everything to be
    // painted again): when only the width changed, nothing left of the slot did, and
    // that part is taken off the repaint.
    void FinishResize(const ResizeStep& step);

    CBannerCtrl m_banner;

private:
    lex::CDpi m_dpi;

    void CreateBanner(const RECT& slot, const char* text, HFONT font);
    void SetSeparatorWidth(UINT id, int width);

    // Whether a toolbar client point lies on a button (not on a separator or gap).
    BOOL IsOnButton(POINT pt) const;
};
