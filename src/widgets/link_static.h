// CLinkStatic: a static text control turned into a link. The text is drawn in the
// link or visited colour, optionally underlined; the control can fit itself to its
// text; a tooltip shows the target; a click opens the target through the shell, or
// with the command registered for ".htm" files when the shell cannot, and explains a
// failure in a message box.
#pragma once

#include "framework/controls.h"
#include "framework/gdi.h"

#include <string>

class CLinkStatic : public lex::CStatic {
public:
    static constexpr COLORREF kLinkColour = RGB(0, 0, 238);
    static constexpr COLORREF kVisitedColour = RGB(85, 26, 139);

    CLinkStatic() = default;
    ~CLinkStatic() override;

    void SetLinkUrl(const std::string& target);
    const std::string& GetLinkUrl() const { return m_target; }
    void SetVisited(bool visited);
    bool IsVisited() const { return m_visited; }
    void SetUnderline(bool underline);
    void SetFitToText(bool fit);
    void SetLinkCursor(HCURSOR cursor) { m_cursor = cursor; }
    // The caption of the box that reports a target that would not open.
    void SetMessageCaption(const std::string& caption) { m_messageCaption = caption; }
    COLORREF m_linkColour = kLinkColour;
    COLORREF m_visitedColour = kVisitedColour;

    // Opens target through the shell, else with the ".htm" command. The shell's
    // result code: greater than 32 means success.
    int OpenLink(const std::string& target, int showCommand);
    // The error box for a failed open.
    void ShowOpenError(int code);
    // Resizes the control to its window text (when fit to text is on).
    void FitToText();

    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    void PreSubclassWindow() override;

private:
    HBRUSH OnCtlColor(HDC dc);
    void OnClicked();
    void UpdateTool(UINT message);

    bool m_visited = false;
    bool m_underline = true;
    bool m_fitToText = true;
    std::string m_target;
    std::string m_messageCaption;
    lex::CFont m_underlineFont;
    HCURSOR m_cursor = nullptr;
    HWND m_tooltip = nullptr;
    std::wstring m_tipText; // the tooltip keeps a pointer to the text it was given
};
