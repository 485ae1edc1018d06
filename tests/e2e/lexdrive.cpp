// lexdrive: finds Lexorin's main bar from outside and ends it cleanly, the way a user
// would with Esc. Used by `make run` on a headless machine.
//   lexdrive wait MS     waits for the main bar; exit 0 when it is there
//   lexdrive close MS    sends Esc to the main bar and waits until it is gone
#include "base/text.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

const wchar_t kTitle[] = L"Quillmere4.1";

HWND FindBar(DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND bar = FindWindowW(nullptr, kTitle);
        if (bar || GetTickCount() - start >= ms)
            return bar;
        Sleep(50);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fputs("usage: lexdrive wait|close [ms]\n", stderr);
        return 2;
    }
    std::wstring verb = argv[1];
    DWORD ms = argc > 2 ? static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) : 10000;
    HWND bar = FindBar(verb == L"wait" ? ms : 0);
    if (verb == L"wait")
        return bar ? 0 : 1;
    if (verb == L"close") {
        if (!bar)
            return 0;
        PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
        DWORD start = GetTickCount();
        while (IsWindow(bar) && GetTickCount() - start < ms)
            Sleep(50);
        return IsWindow(bar) ? 1 : 0;
    }
    std::fputs("lexdrive: unknown command\n", stderr);
    return 2;
}
