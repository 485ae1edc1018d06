// The import's budgets, from choosing the file to the preview shown (its conversion
// done, OK enabled and the dialog painted), through the bar's own import with the
// shipped dictionaries to fill from:
//  - a list of 10,000 words alone within 1 s;
//  - a list of 1,000,000 words alone within 20 s, with the process's peak working set.
// The words are the shipped books' own, over and over, so each one is filled as a
// learner's list would be. Run from the program folder (build/win/dist), whose
// Dictionary folder is copied into a temporary program folder.
//
// "Painted" is the thread's first timer message after the conversion was done: the
// system hands out WM_TIMER only when no window of the thread still waits for WM_PAINT.
#include "../bench_result.h"
#include "base/fileio.h"
#include "base/text.h"
#include "bench_clock.h"
#include "framework/app.h"
#include "mainbar/bar_import.h"
#include "resources/resource.h"
#include "support/win_test_util.h"

#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The preview of this thread once its conversion is done, then the time it was seen
// so; the preview is cancelled there (nothing is written).
struct Watch {
    double done = 0;
} g_watch;

BOOL CALLBACK FindDonePreview(HWND hWnd, LPARAM found)
{
    HWND ok = GetDlgItem(hWnd, IDOK);
    if (GetDlgItem(hWnd, IDC_IMPORT_LIST) && IsWindowVisible(hWnd) && ok && IsWindowEnabled(ok)) {
        *reinterpret_cast<HWND*>(found) = hWnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK OnWatchTimer(HWND, UINT, UINT_PTR, DWORD)
{
    HWND preview = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDonePreview, reinterpret_cast<LPARAM>(&preview));
    if (preview && g_watch.done == 0) {
        g_watch.done = Now();
        PostMessageW(preview, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
}

// Copies the shipped books into the benchmark's Dictionary folder; returns their words
// in their order.
std::vector<std::string> CopyShippedBooks(const std::string& dictFolder, const std::string& to)
{
    std::vector<std::string> words;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(lex::Widen(dictFolder + "*.KM").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return words;
    do {
        const std::string name = lex::Narrow(found.cFileName);
        std::string bytes;
        if (!lex::ReadWholeFile(dictFolder + name, bytes) || !lex::ReplaceFileContents(to + name, bytes))
            continue;
        size_t start = 0;
        while (start < bytes.size()) {
            size_t end = bytes.find_first_of("\r\n", start);
            if (end == std::string::npos)
                end = bytes.size();
            const size_t slash = bytes.find('/', start);
            if (slash != std::string::npos && slash > start && slash < end)
                words.push_back(bytes.substr(start, slash - start));
            start = end + 1;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return words;
}

// Seconds from the import's start (the file chosen) to the preview shown.
double ImportOnce(lex::CWnd& owner, const std::string& list, const std::string& folder)
{
    g_watch = Watch();
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, OnWatchTimer);
    const double start = Now();
    CBarImport().Run(owner, list, folder, folder + "Lexorin.ini", "Lexorin");
    KillTimer(nullptr, timer);
    return g_watch.done > 0 ? g_watch.done - start : 1e9;
}

double PeakWorkingSetMb()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

} // namespace

int main()
{
    lex::CWinApp app;
    app.m_hInstance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);

    wchar_t here[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, here);
    const std::string shipped = lex::Narrow(here) + "\\Dictionary\\";
    const std::string folder = wintest::MakeTempFolder("importbench");
    CreateDirectoryW(lex::Widen(folder + "Dictionary").c_str(), nullptr);
    const std::vector<std::string> words = CopyShippedBooks(shipped, folder + "Dictionary\\");
    if (words.empty()) {
        std::printf("no shipped dictionaries in %s\n", shipped.c_str());
        return 1;
    }

    lex::CWnd owner;
    owner.CreateEx(0, nullptr, "Lexorin", WS_POPUP, 0, 0, 10, 10, nullptr, 0);

    auto writeList = [&](int lines) {
        std::string text;
        text.reserve(static_cast<size_t>(lines) * 12);
        for (int i = 0; i < lines; ++i) {
            text += words[static_cast<size_t>(i) % words.size()];
            text += "\r\n";
        }
        const std::string path = folder + "words " + std::to_string(lines) + ".txt";
        lex::ReplaceFileContents(path, text);
        return path;
    };
    const std::string small = writeList(10000);
    const std::string large = writeList(1000000);

    const double smallSeconds = ImportOnce(owner, small, folder);
    const double largeSeconds = ImportOnce(owner, large, folder);
    const double peak = PeakWorkingSetMb();
    owner.DestroyWindow();
    wintest::RemoveFolder(folder);

    std::printf("word-only list (GBK, the shipped books' %zu words over and over), file chosen to preview shown:\n",
                words.size());
    std::printf("  10,000 lines     %7.3f s   budget 1 s\n", smallSeconds);
    std::printf("  1,000,000 lines  %7.3f s   budget 20 s\n", largeSeconds);
    std::printf("  peak working set %7.1f MB\n", peak);
    bool ok = lexbench::Result("import_10k_preview", smallSeconds, "s", lexbench::Bound::AtMost, 1);
    ok = lexbench::Result("import_1m_preview", largeSeconds, "s", lexbench::Bound::AtMost, 20) && ok;
    ok = lexbench::Result("import_1m_peak_working_set", peak, "MB", lexbench::Bound::AtMost, 512) && ok;
    return ok ? 0 : 1;
}
