// CFileDialog: the system's explorer-style open or save dialog.
//
// The dialog is the system's own modal call (GetOpenFileNameW / GetSaveFileNameW), so
// no loop of ours runs while it is up; its owner is the parent's top-level window, or
// the active window of this thread when there is no parent, so the window underneath
// (a settings sheet, say) is disabled while the dialog is open.
//
// With a child template (OFN_ENABLETEMPLATE) the object is linked to the child panel.
// comdlg32 creates the outer dialog first and the panel inside it, so the link is made
// in the hook procedure's WM_INITDIALOG, not by the creation hook. From then on the
// panel's messages reach the object's WindowProc like any other window's, and the
// dialog's notifications (CDN_*) are dispatched to the On... handlers below. The outer
// dialog is the panel's parent (GetFileDialog).
//
// Texts are code page 936. A filter is given in the framework's one-string form,
// "Name|pattern|Name|pattern||".
#pragma once

#include "framework/wnd.h"

#include <commdlg.h>

#include <string>
#include <vector>

namespace lex {

class CFileDialog : public CWnd {
public:
    CFileDialog(BOOL openFileDialog, const char* defaultExt = nullptr, const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                CWnd* parent = nullptr);

    // Runs the dialog; IDOK or IDCANCEL.
    virtual INT_PTR DoModal();

    // The chosen file's full path after IDOK.
    std::string GetPathName() const;
    // Replaces the filter list ("Name|pattern|...||").
    void SetFilter(const char* filter);
    // While the dialog is up: the outer dialog, and the full path of the current
    // selection (empty when nothing is selected).
    HWND GetFileDialog() const { return GetParent(); }
    std::string GetSelectedFilePath() const;

    // The description handed to the system. A derived class may change flags, the
    // template and the hook (a hook of its own must call LinkPanel in WM_INITDIALOG).
    OPENFILENAMEW m_ofn;

    // The hook procedure the framework installs: links the panel, nothing else.
    static UINT_PTR CALLBACK HookProc(HWND panel, UINT msg, WPARAM wParam, LPARAM lParam);
    // Links the object named by the OPENFILENAME of a WM_INITDIALOG to the panel.
    static CFileDialog* LinkPanel(HWND panel, LPARAM initLParam);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    // The panel exists and is linked (WM_INITDIALOG of the panel).
    virtual void OnInitPanel() {}
    // CDN_INITDONE, CDN_SELCHANGE, CDN_FOLDERCHANGE, CDN_TYPECHANGE.
    virtual void OnInitDone() {}
    virtual void OnFileNameChange() {}
    virtual void OnFolderChange() {}
    virtual void OnTypeChange() {}
    // CDN_FILEOK: TRUE accepts the file, FALSE keeps the dialog open.
    virtual BOOL OnFileNameOK() { return TRUE; }

private:
    BOOL m_open;
    CWnd* m_parent;
    std::wstring m_defaultExt;
    std::vector<wchar_t> m_filter;
    std::vector<wchar_t> m_file;
};

} // namespace lex
