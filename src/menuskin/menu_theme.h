// The flat menu theme: measures and draws owner-drawn popup items (a light icon column,
// a tinted box with a one-pixel frame around the hot item, the default item in bold),
// and paints the flat frame and the soft shadow of popup-menu windows. Its colours
// follow the system colours, high contrast and the screen's colour depth.
#pragma once

#include "framework/gdi.h"
#include "menuskin/menu_rules.h"

#include <windows.h>

class CNewMenu;
class CNewMenuItemData;

// The system facts the skin reads once per process.
struct MenuSkinSystem {
    MenuSkinState state;
    int screenColours = 0;      // device colour count; 64000 when the device has no limit
    bool systemShadows = false; // SPI_GETDROPSHADOW when the skin started
};
const MenuSkinSystem& MenuSkinFacts();

// Formats the calling thread's last error and shows it in a box titled "Error"; nothing
// when the last error is 0.
void MenuErrorReport();

class CMenuThemeFlat {
public:
    CMenuThemeFlat();

    // The theme in use: the flat look with its own window frame.
    static CMenuThemeFlat& Active();

    // The DPI the theme measures and draws at (that of the menu shown last), and a
    // 96-DPI measure at it.
    int Dpi() const { return m_dpi; }
    int Scale(int value96) const { return MenuScale(value96, m_dpi); }

    // The icon column of a menu whose icons are iconWidth wide; the hot item's box and
    // the check box sit in it.
    int IconColumnWidth(int iconWidth) const { return iconWidth + Scale(kIconColumnPadding); }

    // Space between a menu window's edge and its client area, at Dpi().
    int m_leftInset = 0;
    int m_topInset = 0;
    int m_rightInset = 0;
    int m_bottomInset = 0;

    // The item fonts (regular and bold), the menu height and the colours, read from
    // the system once and kept: made again by Refresh, at the start of every menu's
    // tracking and when the system's settings change, for the DPI the menu is shown at.
    void Refresh(int dpi);
    void Refresh() { Refresh(m_dpi); }
    const FlatMenuColours& Colours() const;

    // Items of a menu at dpi. iconWidth/iconHeight are the owning menu's icon size;
    // bold: the menu's default item.
    void MeasureItem(MEASUREITEMSTRUCT* mis, const CNewMenuItemData& data, int iconWidth, int iconHeight,
                     bool bold, bool menuBar, int dpi);
    void DrawItem(const DRAWITEMSTRUCT* dis, const CNewMenuItemData& data, int iconWidth, int iconHeight,
                  bool bold, bool menuBar, int dpi);

    // The window frame of a W x H popup-menu window drawn into its window DC; `screen`
    // (may be null) is a 32-bit top-down copy of what lay under the window, at least
    // W x H, the source of the shadow.
    void PaintFrame(HDC dc, int width, int height, const RECT& client, HBITMAP screen) const;

private:
    static constexpr int kIconColumnPadding = 8;

    // What measuring and drawing read from the system, kept between items.
    struct ItemResources {
        bool ready = false;
        lex::CFont regular;
        lex::CFont bold;
        int cyMenu = 0; // SM_CYMENU
        FlatMenuColours colours;
    };
    const ItemResources& Resources() const;
    void SetInsets();
    HFONT ItemFont(bool bold) const;

    void PaintShadow(HDC dc, int width, int height, HBITMAP screen) const;

    mutable ItemResources m_resources;
    int m_dpi = 96;
};
