// CCloudsCtrl: a static control that shows an endlessly drifting sky of white clouds
// on blue, with a credits text rising through it in white. The sky is three layers of
// plasma noise (cloud_sky.h) made once when the control is attached and mixed every
// 50 ms at different offsets. Everything is drawn off screen into a frame kept for the
// control's size (made anew when it is resized); painting only copies the finished
// frame. A click is reported to the parent as STN_CLICKED; the parent decides what it means.
//
// The animation runs only while the control itself is visible and has an area: a
// hidden or empty control keeps no timer.
#pragma once

#include "framework/controls.h"
#include "framework/dpi.h"
#include "framework/gdi.h"
#include "widgets/cloud_sky.h"

#include <string>

class CCloudsCtrl : public lex::CStatic {
public:
    static constexpr UINT_PTR kFrameTimer = 1;
    static constexpr UINT kFramePeriodMs = 50;

    CCloudsCtrl();
    ~CCloudsCtrl() override;

    // Replaces the credits text: lines separated by '\n'; a line starting with TAB is a
    // title, one starting with CR a heading, any other body text. Only text set before
    // the control is attached is shown. A text taller than the sky is shown whole: it
    // rises through and comes back once its last line has left.
    void SetCreditsText(const char* text);
    // The credits' fonts and where they start follow the DPI of the control's monitor,
    // taken when it is attached; a new one makes the sky again.
    void SetDpi(int dpi);
    void SetMouseSteering(BOOL on) { m_sky.Motion().steering = on != FALSE; }

    // Computes the next frame into the frame bitmap (what the timer does).
    void RenderFrame();

    // What tests and benchmarks look at.
    int TextPosition() const { return m_textPos; }
    bool IsAnimating() const { return m_timerRunning; }
    HDC FrameDC() const { return m_frameDC.GetSafeHdc(); }
    HDC CreditsDC() const { return m_textDC.GetSafeHdc(); }
    int CreditsHeight() const { return m_creditsHeight; }
    const uint32_t* FramePixels() const { return m_bits; }
    lex::CloudSky& Sky() { return m_sky; }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void PreSubclassWindow() override;

private:
    // Makes the layers, the credits and the frame for a control of width x height.
    void Build(int width, int height);
    // Stops the animation, makes everything anew for width x height, starts it again.
    void Rebuild(int width, int height);
    void RenderCredits(HDC screen);
    void UpdateTimer(bool visible);
    void OnPaint();
    void OnSize(int width, int height);
    void OnMouseMove(int x, int y);
    void OnLButtonDown();
    void Release();

    lex::CDpi m_dpi;
    std::string m_credits;
    int m_textPos = 0;
    int m_width = 0;
    int m_height = 0;
    int m_creditsHeight = 0; // the credits bitmap's height: the sky's, or the text's if taller
    lex::CloudSky m_sky;
    lex::CMemoryDC m_textDC;
    lex::CBitmap m_textBitmap;
    HGDIOBJ m_oldTextBitmap = nullptr;
    lex::CMemoryDC m_frameDC;
    lex::CBitmap m_frameBitmap;
    HGDIOBJ m_oldFrameBitmap = nullptr;
    lex::CBitmap m_dib;
    uint32_t* m_bits = nullptr;
    BITMAPINFO m_info = {};
    bool m_timerRunning = false;
};
