// COptionInterfaceMiscPage, "界面设置::杂项": the main bar's background, either a bitmap
// file (picked with the preview dialog and previewed on the page) or a gradient from
// a start to an end colour. The path chosen with the browse button is written at once;
// OK writes the other keys that changed. Either raises the interface-changed flag, so
// the main bar applies its background after OK.
#pragma once

#include "framework/controls.h"
#include "framework/propsheet.h"
#include "options/option_sheet.h"
#include "widgets/color_combo.h"

#include <string>

class COptionInterfaceMiscPage : public lex::CPropertyPage {
public:
    explicit COptionInterfaceMiscPage(const COptionContext& context);
    ~COptionInterfaceMiscPage() override;

    BOOL OnApply() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // For tests: the bitmap on show in the preview (not owned by the caller).
    HBITMAP PreviewBitmap() const { return m_previewBitmap; }

protected:
    void DoDataExchange(lex::CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    // Opens the bitmap dialog; IDOK with the chosen path. Tests drive the dialog here.
    virtual INT_PTR BrowseForBitmap(std::string* path);

private:
    void OnBrowse();
    void OnImageCheck();
    void EnableForImage();
    void ShowPreview(const std::string& path);

    COptionContext m_context;
    lex::CButton m_browse;
    lex::CColorComboBox m_endColor;   // 1004
    lex::CColorComboBox m_startColor; // 1021
    lex::CButton m_imageCheck;
    lex::CStatic m_preview;
    lex::CComboBox m_file;

    std::string m_fileText;
    int m_imageOn = 1;
    HBITMAP m_previewBitmap = nullptr;
    int m_startImageOn = 1;
    uint32_t m_startStartColor = 0;
    uint32_t m_startEndColor = 0;
};
