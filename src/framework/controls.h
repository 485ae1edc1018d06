// Thin control classes: the system control's window class, nothing more. Derived
// controls add behaviour in their own WindowProc and PreSubclassWindow.
#pragma once

#include "framework/wnd.h"

#include <commctrl.h>

namespace lex {

class CStatic : public CWnd {
public:
    BOOL Create(const std::string& text, DWORD style, const RECT& rect, HWND parent, UINT id)
    {
        return CWnd::Create(L"STATIC", text, style, rect, parent, id);
    }
};

class CButton : public CWnd {
public:
    BOOL Create(const std::string& text, DWORD style, const RECT& rect, HWND parent, UINT id)
    {
        return CWnd::Create(L"BUTTON", text, style, rect, parent, id);
    }
};

class CToolBarCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, HWND parent, UINT id)
    {
        if (!CWnd::Create(TOOLBARCLASSNAMEW, std::string(), style, rect, parent, id))
            return FALSE;
        SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
        return TRUE;
    }
    int GetButtonCount() const { return static_cast<int>(SendMessage(TB_BUTTONCOUNT)); }
    BOOL GetItemRect(int index, RECT* rect) const
    {
        return static_cast<BOOL>(SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index), (LPARAM)rect));
    }
    int CommandToIndex(UINT id) const { return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, id)); }
    void AutoSize() { SendMessage(TB_AUTOSIZE); }
};

} // namespace lex
