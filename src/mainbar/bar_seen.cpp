// Whether anybody can see the main bar, and what follows from it: the banner rests and
// the feed's timer stops while nobody can; both take up again when the bar is seen.
#include "mainbar/lexorin_dlg.h"

void CLexorinDlg::UpdateSeen()
{
    if (!m_started || !m_hWnd)
        return;
    const bool shown = IsWindowVisible() && !::IsIconic(m_hWnd);
    m_attention.SetWindowShown(shown);
    const bool seen = shown && m_attention.Unobstructed();
    m_toolbar.m_banner.SetObstructed(!m_attention.Unobstructed());
    if (shown)
        m_toolbar.m_banner.WakeScrolling();
    m_feed.SetSeen(seen);
}
