// Thin control classes: the system control's window class, nothing more. Derived
// controls add behaviour in their own WindowProc and PreSubclassWindow.
#pragma once

#include "framework/wnd.h"
#include "base/text.h"

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

class CComboBox : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, HWND parent, UINT id)
    {
        return CWnd::Create(L"COMBOBOX", std::string(), style, rect, parent, id);
    }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
    // Returns the new entry's index, CB_ERR or CB_ERRSPACE.
    int AddString(const std::string& text)
    {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str())));
    }
    DWORD_PTR GetItemData(int index) const { return SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(index)); }
    int SetItemData(int index, DWORD_PTR data)
    {
        return static_cast<int>(SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
    }
    std::string GetLBText(int index) const
    {
        int n = static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index)));
        if (n < 0)
            return std::string();
        std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
        n = static_cast<int>(SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&buf[0])));
        buf.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return Narrow(buf);
    }
    int SetItemHeight(int index, UINT height)
    {
        return static_cast<int>(SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(index), height));
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
