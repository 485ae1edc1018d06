// CTreePropSheet: a property sheet whose row of tabs is replaced by a tree of pages on
// the left and a page frame (CPageFrame) over the page area. The system's tab control
// stays, hidden and disabled, as the store of pages and of the current selection; the
// tree is built from the page captions, in which "::" separates path components
// (page_tree.h), and tree selection and current page follow each other.
#pragma once

#include "framework/imagelist.h"
#include "framework/propsheet.h"
#include "treesheet/page_frame.h"
#include "treesheet/page_tree.h"

#include <string>
#include <vector>

class CTreePropSheet : public lex::CPropertySheet {
public:
    static constexpr UINT kPageTreeId = 0x7EEE;
    static constexpr UINT kPageFrameId = 0xFFFF;
    // The tab control made for a moment to measure a row of tabs.
    static constexpr UINT kTabProbeId = 0x1234;
    // Between the tree and the pages (at 96 DPI).
    static constexpr int kTreeGap = 5;

    CTreePropSheet(const std::string& caption, lex::CWnd* parent = nullptr, UINT selectPage = 0);
    ~CTreePropSheet() override;

    // Before the window exists only (FALSE afterwards). pageCaption and treeImages are
    // taken only with tree mode on.
    BOOL SetTreeMode(BOOL treeMode, BOOL pageCaption = FALSE, BOOL treeImages = FALSE);
    // The message shown for a node without a page; its one "%s" takes the node's text.
    void SetEmptyPageText(const std::string& format) { m_strEmptyPageMessage = format; }
    // Image 0 for group nodes, image 1 for pages without an icon; FALSE unless the list
    // holds exactly two images. The sheet keeps a copy.
    BOOL SetGroupImages(HIMAGELIST images);
    // The page shows icon in the tree and the caption strip. The icon stays the
    // caller's; the imageList form makes a copy that the sheet destroys.
    BOOL SetPageIcon(lex::CPropertyPage* page, HICON icon);
    BOOL SetPageIcon(lex::CPropertyPage* page, HIMAGELIST images, int index);

    HWND GetPageTreeWindow() const { return m_pwndPageTree ? m_pwndPageTree->m_hWnd : nullptr; }
    CPageFrame* GetPageFrame() const { return m_pFrame; }
    // Pixels added to the left for the tree, at the sheet's DPI.
    int GetPageTreeWidth() const { return Dpi().Scale(m_nPageTreeWidth); }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    BOOL OnInitDialog() override;
    virtual std::string FormatEmptyPageMessage(const std::string& format, const std::string& nodeText);
    virtual lex::CWnd* NewPageTree();
    virtual CPageFrame* NewPageFrame();
    // The sheet moved to a monitor of another DPI: a sheet that made its page icons and
    // group images for a size makes them again for dpi (group images through
    // SetGroupImages, page icons into the tab control's image list) before the tree
    // takes them again. The default keeps them.
    virtual void ReloadImagesForDpi(int dpi) { (void)dpi; }
    void OnDpiChanged(int oldDpi) override;
    // The size tree images have at the sheet's DPI: the group images' size, else the
    // drawn size for 16 pixels at 96 DPI.
    int TreeImageSize() const;

    void RebuildPageTree();
    BOOL DeactivateCurrentPage();
    void UpdateFrameCaption();
    void SelectPageItem(int index);
    void SelectCurrentPageItem();
    void SelectNextItem();
    void SelectPreviousItem();
    // Moves every child of the sheet by (dx, dy).
    void OffsetChildWindows(int dx, int dy);

private:
    class TreeAccess;
    LRESULT OnSelChanging(const NMTREEVIEWW* nm);
    void CentreOnParent();
    // The parts of OnInitDialog: the tab control hidden (its rectangle in the sheet's
    // client coordinates returned), the frame over the page area, the height of a row
    // of tabs, the caption strip's height given back when the strip is off, the tree.
    RECT HideTabs(HWND tab);
    void CreatePageFrame(const RECT& tabRect);
    int TabRowHeight(const RECT& tabRect);
    void DropCaptionStrip(int captionHeight);
    void CreatePageTree(const RECT& treeRect);

    BOOL m_bTreeViewMode = TRUE;
    lex::CWnd* m_pwndPageTree = nullptr;
    CPageFrame* m_pFrame = nullptr;
    BOOL m_bPageTreeSelChangedActive = FALSE;
    BOOL m_bPageCaption = FALSE;
    BOOL m_bTreeImages = FALSE;
    lex::CImageList m_Images;
    lex::CImageList m_DefaultImages;
    std::string m_strEmptyPageMessage;
    int m_nPageTreeWidth = 150; // at 96 DPI
    std::vector<HICON> m_ownedIcons;
};
