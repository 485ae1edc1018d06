// CMainToolBar: the flat toolbar that fills the main bar. It loads toolbar resources
// (type 241 with a strip bitmap of the same id), answers its tooltip requests from the
// string table, and turns a left-button press outside its buttons into a caption press
// of the main bar so the bar can be dragged by the toolbar.
#pragma once

#include "framework/controls.h"

class CMainToolBar : public lex::CToolBarCtrl {
public:
    BOOL LoadToolBar(UINT resourceId);
    // Replaces all buttons: id 0 gives a separator, others plain buttons whose image is
    // the count of plain buttons before them. With ids nullptr, count blank buttons.
    BOOL SetButtons(const UINT* ids, int count);
    // Fills a tooltip request (TTN_GETDISPINFO, A or W) for a button from the string
    // whose id is the button's command: the part after the newline. TRUE if it was one.
    BOOL OnTooltipNotify(NMHDR* header, LRESULT* result);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // Whether a toolbar client point lies on a button (not on a separator or gap).
    BOOL IsOnButton(POINT pt) const;
};
