#include "mainbar/bar_menu.h"
#include "base/text.h"
#include "framework/app.h"
#include "mainbar/main_toolbar.h"
#include "menuskin/new_menu.h"
#include "resources/resource.h"

#include <mmsystem.h>

UINT TrackBarMenu(lex::CWnd& owner, const BarMenuRequest& request)
{
    HINSTANCE instance = lex::AfxGetResourceHandle();
    HMENU loaded = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_TRAY_MENU));
    if (!loaded)
        return 0;
    if (!request.above.empty()) {
        HMENU trayItems = GetSubMenu(loaded, 0);
        UINT pos = 0;
        for (const BarMenuItem& item : request.above)
            InsertMenuW(trayItems, pos++, MF_BYPOSITION | MF_STRING | (item.enabled ? 0 : MF_GRAYED), item.id,
                        lex::Widen(item.text).c_str());
        InsertMenuW(trayItems, pos, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    }
    CNewMenu menu;
    if (!menu.LoadMenu(loaded)) {
        DestroyMenu(loaded);
        return 0;
    }
    menu.SetDpi(request.dpi);
    menu.LoadToolBarIcons(IDR_MAINTOOLBAR, nullptr, CMainToolBar::Art());
    UINT chosen = 0;
    if (CNewMenu* popup = menu.GetSubMenu(0)) {
        if (request.fromTray)
            popup->SetDefaultItem(0, TRUE);
        SetForegroundWindow(owner.m_hWnd);
        if (request.fromTray)
            PlaySoundW(MAKEINTRESOURCEW(IDR_WAVE_TRAY), instance, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT | SND_NOWAIT);
        chosen = static_cast<UINT>(popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                                                         request.at.x, request.at.y, &owner));
        // Lets the menu close properly when the user clicks elsewhere.
        owner.PostMessage(WM_NULL);
    }
    menu.DestroyMenu();
    return chosen;
}
