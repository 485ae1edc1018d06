// CBmpDialog: the open-file dialog with a bitmap preview panel (dialog template 5000)
// beside the file list: the scaled picture, its width, height, colour count and file
// size. A check box switches the preview on and off; the switch holds for the rest of
// the process. The filter is always "Bitmaps (*.bmp)" and "All Files (*.*)".
#pragma once

#include "framework/file_dialog.h"

class CBmpDialog : public lex::CFileDialog {
public:
    // Panel controls.
    static constexpr int kPreviewArea = 5001;
    static constexpr int kWidthLabel = 5002;
    static constexpr int kHeightLabel = 5003;
    static constexpr int kColoursLabel = 5004;
    static constexpr int kSizeLabel = 5005;
    static constexpr int kPreviewCheck = 5006;

    // The arguments are those of CFileDialog; the filter passed is replaced.
    CBmpDialog(BOOL openFileDialog, const char* defaultExt = nullptr, const char* fileName = nullptr,
               DWORD flags = 0, const char* filter = nullptr, lex::CWnd* parent = nullptr);

    // The process-wide preview switch and the bitmap shown (for the panel's owner-draw
    // and for tests).
    static bool PreviewSwitch();
    static HBITMAP PreviewBitmap();

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

protected:
    void OnInitDone() override;
    void OnFileNameChange() override;
    BOOL OnFileNameOK() override;

private:
    void ShowSelection();
    void ClearLabels();
    void DrawPreview(const DRAWITEMSTRUCT& item);
};
