#include "framework/dpi_follow.h"
#include "framework/dpi.h"
#include "framework/system_call.h"
#include "framework/wnd.h"

#include <cwchar>

namespace lex {

namespace {

using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
constexpr int kDialogScalingOff = 1; // DDC_DISABLE_ALL

bool IsDialog(HWND hWnd)
{
    wchar_t name[16] = {};
    return ::GetClassNameW(hWnd, name, 16) && std::wcscmp(name, kDialogClass) == 0;
}

bool IsComboBox(HWND hWnd)
{
    wchar_t name[16] = {};
    return ::GetClassNameW(hWnd, name, 16) && (_wcsicmp(name, L"ComboBox") == 0 || _wcsicmp(name, L"ComboBoxEx32") == 0);
}

} // namespace

void TakeOverDialogDpiScaling(HWND dialog)
{
    static const auto setBehavior =
        LookupSystemCall<SetDialogDpiChangeBehaviorFn>(L"user32.dll", "SetDialogDpiChangeBehavior");
    if (setBehavior && dialog)
        setBehavior(dialog, kDialogScalingOff, kDialogScalingOff);
}

CFont ScaleFont(HFONT font, int fromDpi, int toDpi)
{
    CFont scaled;
    LOGFONTW lf = {};
    if (font && fromDpi > 0 && ::GetObjectW(font, sizeof lf, &lf)) {
        lf.lfHeight = ::MulDiv(lf.lfHeight, toDpi, fromDpi);
        lf.lfWidth = ::MulDiv(lf.lfWidth, toDpi, fromDpi);
        scaled.CreateFontIndirect(lf);
    }
    return scaled;
}

CFont StockFontForDpi(int stockObject, int dpi)
{
    return ScaleFont(static_cast<HFONT>(::GetStockObject(stockObject)), SystemDpi(), dpi);
}

void CDpiRelayout::Apply(HWND window, int oldDpi, int newDpi, const RECT& suggested)
{
    if (!window || oldDpi <= 0 || newDpi <= 0)
        return;
    // The children first: a window that places some of them when it is resized then
    // finds the others where they belong at the new DPI.
    if (oldDpi != newDpi) {
        std::vector<FontPair> pairs;
        std::vector<CFont> made;
        ScaleChildren(window, oldDpi, newDpi, pairs, made);
        // The fonts of the old DPI are no longer selected into any window.
        m_fonts = std::move(made);
    }
    ::SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(window, nullptr, TRUE);
}

HFONT CDpiRelayout::FontFor(HFONT font, int oldDpi, int newDpi, std::vector<FontPair>& pairs,
                            std::vector<CFont>& made)
{
    for (const FontPair& pair : pairs)
        if (pair.from == font)
            return pair.to;
    CFont scaled = ScaleFont(font, oldDpi, newDpi);
    HFONT handle = scaled.GetSafeHandle();
    if (handle)
        made.push_back(std::move(scaled));
    pairs.push_back({font, handle});
    return handle;
}

void CDpiRelayout::ScaleChildren(HWND parent, int oldDpi, int newDpi, std::vector<FontPair>& pairs,
                                 std::vector<CFont>& made)
{
    // Gathered first: moving a window may change the order of the siblings.
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    for (HWND child : children) {
        RECT r;
        ::GetWindowRect(child, &r);
        // A combo box's height is that of its dropped list, not of the closed box.
        RECT dropped = {0, 0, 0, 0};
        if (IsComboBox(child) && ::SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped))
            && dropped.bottom > r.bottom)
            r.bottom = dropped.bottom;
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        const int left = ::MulDiv(r.left, newDpi, oldDpi), top = ::MulDiv(r.top, newDpi, oldDpi);
        const int right = ::MulDiv(r.right, newDpi, oldDpi), bottom = ::MulDiv(r.bottom, newDpi, oldDpi);
        if (HFONT font = reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)))
            if (HFONT scaled = FontFor(font, oldDpi, newDpi, pairs, made))
                ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(scaled), FALSE);
        ::SetWindowPos(child, nullptr, left, top, right - left, bottom - top,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        // A child dialog (a property page) holds controls laid out in its own pixels.
        if (IsDialog(child))
            ScaleChildren(child, oldDpi, newDpi, pairs, made);
    }
}

} // namespace lex
