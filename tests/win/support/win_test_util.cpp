#include "support/win_test_util.h"
#include "base/text.h"

#include <shellapi.h>

namespace wintest {

void PumpMessages(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

std::string MakeTempFolder(const char* tag)
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"lexorin-" + lex::Widen(tag) + L"-" +
                          std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount());
    CreateDirectoryW(folder.c_str(), nullptr);
    return lex::Narrow(folder) + "\\";
}

void RemoveFolder(const std::string& folder)
{
    std::wstring from = lex::Widen(folder);
    while (!from.empty() && from.back() == L'\\')
        from.pop_back();
    from.push_back(L'\0'); // double-terminated list
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&op);
}

std::string FromUnixPath(const std::string& unixPath)
{
    std::string out = "Z:";
    for (char c : unixPath)
        out += (c == '/') ? '\\' : c;
    return out;
}

COLORREF ClientPixel(HWND hWnd, int x, int y)
{
    HDC dc = GetDC(hWnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hWnd, dc);
    return c;
}

} // namespace wintest
