// The program's settings sheet "选项": a CTreePropSheet with the option pages in the
// order banner, dictionary, interface, voice, study, page icons from bitmap 282 (the
// study page's from its own icon) and group images from icons 185 and 186.
//
// Pages get what they need from the caller in a COptionContext and report what they
// changed through its flags; the caller applies the flagged groups after OK. The flags
// speak for one opening of the sheet: RunOptionSheet clears them, and a page only
// raises the flag of what it changed.
#pragma once

#include "framework/imagelist.h"
#include "treesheet/tree_prop_sheet.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lex {
class CStudyRecord;
}

// The background colour of bitmap 282, masked out wherever its images are shown.
constexpr COLORREF kOptionImagesMask = RGB(0, 128, 128);

// Images of bitmap 282, the page icons and the dictionary list's item images.
enum COptionImage {
    kOptionImageBanner = 0,
    kOptionImageDictionary = 1,
    kOptionImageInterface = 2,
    kOptionImageVoice = 3,
    // The dictionary list: a book beside each dictionary; the chosen one shows the
    // picture the interface page has (a window in its colours).
    kOptionImageListedDictionary = kOptionImageDictionary,
    kOptionImageChosenDictionary = kOptionImageInterface,
};

// Bitmap 282's images as drawn for size pixels (16, 24 or 32), into list. Where the
// resources hold no strip drawn for that size, the 16-pixel one. Returns the size of
// the images loaded, 0 when none could be.
int LoadOptionImages(lex::CImageList& list, int size);

// What the option pages need from the program, handed in by the settings command.
struct COptionContext {
    std::string programFolder;   // with its trailing backslash
    std::string settingsPath;    // the settings file
    std::string backgroundFile;  // the main bar's current background bitmap file
    // The settings-changed flags: cleared when the sheet opens, raised by a page that
    // changed that group.
    BOOL* bannerChanged = nullptr;
    BOOL* dictChanged = nullptr;
    BOOL* interfaceChanged = nullptr;
    BOOL* voiceChanged = nullptr;
    // The open dictionary's study record (the main bar's; nullptr when none), and the
    // flag raised when the study page changed its keys or the record.
    lex::CStudyRecord* studyRecord = nullptr;
    BOOL* studyChanged = nullptr;
    // Imports a word list chosen in a file dialog owned by the window given; returns
    // the new dictionary's name, now the one in use, or empty when nothing was imported.
    std::function<std::string(HWND)> importWordList;
};

// Raises or clears one of the context's flags; a missing flag is ignored.
inline void SetOptionFlag(BOOL* flag, BOOL value)
{
    if (flag)
        *flag = value;
}
// Raises one of the context's flags: the page changed that group.
inline void RaiseOptionFlag(BOOL* flag)
{
    SetOptionFlag(flag, TRUE);
}

class COptionSheet : public CTreePropSheet {
public:
    explicit COptionSheet(lex::CWnd* parent = nullptr);

    // Adds a page that the sheet owns, showing image iconImage of bitmap 282.
    void AddOptionPage(std::unique_ptr<lex::CPropertyPage> page, int iconImage);
    // Adds a page that the sheet owns, showing icon resource iconId.
    void AddOptionPageWithIcon(std::unique_ptr<lex::CPropertyPage> page, UINT iconId);

protected:
    void ReloadImagesForDpi(int dpi) override;

private:
    // Page icons and group images as drawn for the size that 16 pixels have at dpi.
    void LoadImages(int dpi);

    lex::CImageList m_pageIcons;
    lex::CImageList m_groupImages;
    std::vector<int> m_pageImages; // each page's image of bitmap 282, in page order
    std::vector<std::unique_ptr<lex::CPropertyPage>> m_ownedPages;
};

// Adds the program's pages to sheet, in tree order.
void AddOptionPages(COptionSheet& sheet, const COptionContext& context);

// Builds the settings sheet and runs it modally: IDOK, IDCANCEL, or -1 when it could
// not be shown or the program was told to end meanwhile. The context's flags are
// cleared first, so afterwards they tell what this opening changed.
INT_PTR RunOptionSheet(const COptionContext& context, lex::CWnd* parent = nullptr);
