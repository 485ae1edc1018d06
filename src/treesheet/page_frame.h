// CPageFrame: the area of the tree property sheet where the pages show. Above them a
// caption strip shows the selected node's icon and text on a colour gradient; when a
// node without a page is selected, the frame shows a message instead.
// CPageFrameWnd is the frame as a window of its own.
#pragma once

#include "framework/dpi.h"
#include "framework/gdi.h"
#include "framework/wnd.h"

#include <string>

class CPageFrame {
public:
    CPageFrame() = default;
    virtual ~CPageFrame();
    CPageFrame(const CPageFrame&) = delete;
    CPageFrame& operator=(const CPageFrame&) = delete;

    virtual BOOL CreateFrameWindow(DWORD style, const RECT& rect, HWND parent, UINT id) = 0;
    virtual lex::CWnd* GetFrameWindow() = 0;
    virtual void EnableCaption(BOOL enable);
    virtual void SetCaptionHeight(int height);
    // The frame keeps a copy of the icon (the caller may destroy its own at once) and
    // hands the copy to PaintCaption.
    virtual void SetCaptionText(const std::string& text, HICON icon = nullptr);
    virtual void SetMessageText(const std::string& text);
    virtual void Paint(HDC dc);
    virtual RECT GetMessageRect();
    virtual void PaintMessage(HDC dc, const RECT& rect, const std::string& text, UINT format);
    virtual RECT GetCaptionRect();
    virtual void PaintCaption(HDC dc, const RECT& rect, const std::string& text, HICON icon);

    // The DPI the frame draws at: its caption's insets and fonts follow it.
    void SetDpi(int dpi);
    const lex::CDpi& Dpi() const { return m_dpi; }

    BOOL IsCaptionEnabled() const { return m_bShowCaption; }
    int GetCaptionHeight() const { return m_nCaptionHeight; }
    const std::string& GetCaptionText() const { return m_strCaption; }
    const std::string& GetMessageText() const { return m_strMsg; }

protected:
    // Invalidates (with erasing) that area of the frame window, if it exists.
    void SafeInvalidate(const RECT& rect);

    BOOL m_bShowCaption = FALSE;
    int m_nCaptionHeight = 0;
    std::string m_strCaption;
    HICON m_captionIcon = nullptr; // the frame's own copy
    std::string m_strMsg;
    static constexpr UINT kMessageFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    lex::CDpi m_dpi{lex::SystemDpi()};
    // The caption's and the message's fonts when the frame's DPI is not the system's
    // (the stock fonts are made for the system DPI); empty otherwise.
    lex::CFont m_captionFont;
    lex::CFont m_messageFont;
};

class CPageFrameWnd : public lex::CWnd, public CPageFrame {
public:
    CPageFrameWnd() = default;

    BOOL CreateFrameWindow(DWORD style, const RECT& rect, HWND parent, UINT id) override;
    lex::CWnd* GetFrameWindow() override { return this; }
    RECT GetMessageRect() override;
    void PaintCaption(HDC dc, const RECT& rect, const std::string& text, HICON icon) override;

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};
