// CFeedHost: what the word feed drives on the main bar: the banner's items and look,
// the feed timer (a timer of the bar, which hands its ticks back to the feed), the
// clock the feed counts unseen steps by, the program's end and the boxes that tell
// why; and, when words are spoken by themselves, each new entry's word.
#pragma once

#include "banner/banner_ctrl.h"
#include "framework/wnd.h"
#include "mainbar/bar_speech.h"
#include "mainbar/word_feed.h"

#include <windows.h>

#include <string>

class CFeedHost : public IWordFeedHost, public ILineReaderWarning {
public:
    static constexpr UINT_PTR kFeedTimer = 1;

    // The banner, the bar and the speech outlive the host; caption names the program's
    // error box.
    CFeedHost(CBannerCtrl& banner, lex::CWnd& bar, IBarSpeech& speech, const std::string& caption)
        : m_banner(banner), m_bar(bar), m_speech(speech), m_caption(caption)
    {
    }

    void FeedAddItem(const CBannerItem& item) override { m_banner.AddItem(item); }
    void FeedClearBanner() override { m_banner.RemoveAllItems(); }
    void FeedMoveLineToStart() override { m_banner.MoveLineToStart(); }
    void FeedSetAutoSize(bool on) override { m_banner.SetAutoSize(on); }
    void FeedSetSpeed(int speed) override { m_banner.SetSpeed(speed); }
    void FeedSetBackgroundColor(uint32_t colour) override { m_banner.SetBackgroundColor(colour); }
    void FeedStartTimer(int periodMs) override;
    void FeedStopTimer() override;
    uint64_t FeedNowMs() const override;
    void FeedEndProgram(int exitCode) override;
    void FeedShowError(const std::string& text) override;
    void FeedEntryShown(const DictEntry& entry) override
    {
        if (m_speech.Mode() == lex::CSettings::kVoiceAuto)
            m_speech.Speak(entry.word);
    }
    // Over-long dictionary lines are reported in a warning box owned by no window.
    void Warn(const std::string& text, const std::string& caption) override;

private:
    CBannerCtrl& m_banner;
    lex::CWnd& m_bar;
    IBarSpeech& m_speech;
    const std::string& m_caption;
};
