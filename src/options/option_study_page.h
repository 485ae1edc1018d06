// COptionStudyPage, "学习设置::复习": how often due words come back, the recall the
// schedule aims for, the study options and hotkeys, the current dictionary's progress
// (a chart of the last and next 30 days beside its counts), exporting the words not
// yet mastered and clearing the record. Export and clear act at once on the main bar's
// record; OK writes the page's keys that changed as one group and raises the
// study-changed flag.
#pragma once

#include "framework/propsheet.h"
#include "options/option_sheet.h"
#include "options/study_chart_ctrl.h"
#include "settings/settings.h"

#include <cstdint>
#include <string>
#include <vector>

class COptionStudyPage : public lex::CPropertyPage {
public:
    static constexpr int kMinReviewEvery = 1;
    static constexpr int kMaxReviewEvery = 100;
    static constexpr int kMinRetention = lex::CStudyRecord::kMinRetentionPercent;
    static constexpr int kMaxRetention = lex::CStudyRecord::kMaxRetentionPercent;

    explicit COptionStudyPage(const COptionContext& context);

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(lex::CDataExchange* dx) override;
    void OnOK() override;
    // Where to save the export; IDOK with the path. Tests may answer here.
    virtual INT_PTR ChooseExportPath(std::string* path);
    // Asks before the record is cleared; true to clear.
    virtual bool ConfirmClear();

private:
    void ShowCounts();
    void OnExport();
    void OnClear();
    int ReviewEveryShown() const;
    // The retention box's value within the bounds; fallback when it holds no number.
    int RetentionShown(int fallback) const;
    void ShowProgressText();

    // A check box or hotkey control, its key's value when the page started, and its
    // setter.
    struct FlagOption {
        int id;
        bool (lex::CSettings::*get)() const;
        bool (lex::CSettings::*set)(bool);
        bool start;
    };
    struct HotkeyOption {
        int id;
        uint16_t (lex::CSettings::*get)() const;
        bool (lex::CSettings::*set)(uint16_t);
        uint16_t start;
    };

    COptionContext m_context;
    int m_startReviewEvery = 5;
    int m_startRetention = lex::CStudyRecord::kDefaultRetentionPercent;
    CStudyChart m_chart;
    std::vector<FlagOption> m_flags;
    std::vector<HotkeyOption> m_hotkeys;
};
