// The bar's popup menus: the tray menu, and the bar's context menu, which is the tray
// menu below items of its own. Both are skinned the same way: owner-drawn items with the
// toolbar's icons drawn for the bar's DPI, a flat frame and a shadow.
#pragma once

#include "framework/wnd.h"

#include <windows.h>

#include <vector>

struct BarMenuItem {
    UINT id;
    const char* text; // code page 936
    bool enabled;
};

struct BarMenuRequest {
    POINT at;    // screen point of the menu's top-left corner
    int dpi;     // the bar's
    // Shown above the tray menu's items, with a separator between.
    std::vector<BarMenuItem> above;
    // The tray menu proper: its first item is the default (drawn bold) and the tray's
    // chime sounds as it opens.
    bool fromTray;
};

// Shows the menu for owner and returns the command chosen, or 0. The command is not
// sent: the caller decides where it goes.
UINT TrackBarMenu(lex::CWnd& owner, const BarMenuRequest& request);
