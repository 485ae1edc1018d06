// The popup-menu window treatment: while a CMenuHookScope lives, a WH_CALLWNDPROC hook of
// the thread finds every popup-menu window ("#32768") as it is created or sized by the
// menu manager and links it, through the framework, to an object of ours. That object
// replaces the three-dimensional border with the theme's flat frame, draws a soft shadow
// from a copy of the screen when the system draws none, and puts everything back when
// the window is hidden or destroyed.
//
// The hook sees every message sent on the thread, so it is armed only while one of our
// popup menus is tracked; a scope nests.
#pragma once

#include <windows.h>

#include <cstddef>

class CMenuHookScope {
public:
    CMenuHookScope();
    ~CMenuHookScope();
    CMenuHookScope(const CMenuHookScope&) = delete;
    CMenuHookScope& operator=(const CMenuHookScope&) = delete;

    static bool Installed();
    // Popup-menu windows currently skinned.
    static size_t RecordCount();
    static bool IsSubclassed(HWND hWnd);
};
