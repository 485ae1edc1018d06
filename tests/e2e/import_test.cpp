// Importing a word list through the real program: a file dropped on the bar as the
// shell drops it, the preview, the dictionary written and shown; files that cannot be
// imported are refused with a message and leave the Dictionary folder as it was.
#include "base/fileio.h"
#include "base/text.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "support/lexorin_process.h"
#include "support/win_test_util.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

using e2e::ClickCentre;
using e2e::Descendant;
using e2e::LexorinProcess;

namespace {

// Posts WM_DROPFILES with an HDROP laid out as the shell builds it: DROPFILES, then the
// wide file names, each ended by a zero, and one zero more. A handle of this process
// means nothing in the program's, so the block is written into the program's memory
// (a fixed block: its address is its handle), as the shell's drag and drop hands one over.
void DropFile(HWND bar, const std::string& path)
{
    const std::wstring name = lex::Widen(path);
    std::vector<char> block(sizeof(DROPFILES) + (name.size() + 2) * sizeof(wchar_t), 0);
    auto* drop = reinterpret_cast<DROPFILES*>(block.data());
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::copy(name.begin(), name.end(), reinterpret_cast<wchar_t*>(drop + 1));
    DWORD pid = 0;
    GetWindowThreadProcessId(bar, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    ASSERT_NE(process, nullptr);
    void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(remote, nullptr);
    ASSERT_TRUE(WriteProcessMemory(process, remote, block.data(), block.size(), nullptr));
    CloseHandle(process);
    PostMessageW(bar, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

std::vector<std::string> FolderListing(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(lex::Widen(folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(lex::Narrow(found.cFileName));
    while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring FromUtf8(const std::string& s)
{
    std::wstring w(s.size(), L'\0');
    w.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0], static_cast<int>(w.size()))));
    return w;
}

// The preview once its conversion has finished (OK enabled), or nullptr.
HWND WaitForPreview(DWORD pid)
{
    HWND preview = e2e::WaitForProcessWindowWith(pid, IDC_IMPORT_LIST);
    if (!preview)
        return nullptr;
    return wintest::PumpUntil([&] { return IsWindowEnabled(Descendant(preview, IDOK)) != FALSE; }, 10000) ? preview
                                                                                                        : nullptr;
}

} // namespace

TEST(ImportE2E, ADroppedListIsPreviewedWrittenAndScrollsFromItsFirstWordAndAReplacementIsAskedFor)
{
    LexorinProcess app("importdrop");
    lex::CSettings(app.SettingsPath()).SetBannerScroll(false);
    const std::string list = app.Folder() + "my words.tsv";
    ASSERT_TRUE(lex::ReplaceFileContents(list, "zebra\t\xCB\x88zi\xCB\x90" "br\xC9\x99\t\xE6\x96\x91\xE9\xA9\xAC\nquokka\t\t\xE8\xA2\x8B\xE9\xBC\xA0\n" /* UTF-8 */));
    ASSERT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    ASSERT_NE(bar, nullptr);

    DropFile(bar, list);
    HWND preview = WaitForPreview(app.ProcessId());
    ASSERT_NE(preview, nullptr);
    EXPECT_NE(e2e::WindowText(Descendant(preview, IDC_IMPORT_STATUS)).find("共 2 条"), std::string::npos);
    EXPECT_EQ(e2e::WindowText(Descendant(preview, IDC_IMPORT_NAME)), "my words");
    e2e::SaveScreenshot(preview, "import-preview");
    ClickCentre(Descendant(preview, IDOK));
    ASSERT_TRUE(e2e::WaitUntilGone(preview, 5000));
    const std::string km = app.Folder() + "Dictionary\\my words.KM";
    std::string written;
    ASSERT_TRUE(lex::ReadWholeFile(km, written));
    EXPECT_EQ(written.substr(0, 6), "zebra/");
    EXPECT_NE(written.find("\r\nquokka/"), std::string::npos);
    EXPECT_TRUE(wintest::PumpUntil([&] { return lex::CSettings(app.SettingsPath()).DictName() == "my words"; }, 5000))
        << "the new dictionary is the one in use";
    e2e::Sync(bar);

    EXPECT_EQ(e2e::CopiedFirstEntry(bar), FromUtf8("zebra [\xCB\x88zi\xCB\x90" "br\xC9\x99] \xE6\x96\x91\xE9\xA9\xAC"))
        << "the strip shows the list's first entry";

    // The same name again: asked first; No keeps the dictionary as it was.
    ASSERT_TRUE(lex::ReplaceFileContents(list, "other\r\n"));
    DropFile(bar, list);
    preview = WaitForPreview(app.ProcessId());
    ASSERT_NE(preview, nullptr);
    ClickCentre(Descendant(preview, IDOK));
    HWND ask = nullptr;
    ASSERT_TRUE(wintest::PumpUntil([&] { return (ask = e2e::WaitForProcessWindowWith(app.ProcessId(), IDNO, preview, 200)); },
                                   5000));
    ClickCentre(Descendant(ask, IDNO));
    ASSERT_TRUE(e2e::WaitUntilGone(ask, 5000));
    std::string after;
    ASSERT_TRUE(lex::ReadWholeFile(km, after));
    EXPECT_EQ(after, written) << "not replaced without a yes";
    ClickCentre(Descendant(preview, IDCANCEL));
    ASSERT_TRUE(e2e::WaitUntilGone(preview, 5000));

    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
}

TEST(ImportE2E, EmptyAndBinaryFilesAreRefusedWithTheirMessageAndWriteNothing)
{
    LexorinProcess app("importbad");
    const std::string empty = app.Folder() + "empty.txt";
    const std::string binary = app.Folder() + "picture.txt";
    ASSERT_TRUE(lex::ReplaceFileContents(empty, ""));
    ASSERT_TRUE(lex::ReplaceFileContents(binary, std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\1\0", 20)));
    ASSERT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    ASSERT_NE(bar, nullptr);
    const std::string folder = app.Folder() + "Dictionary\\";
    const std::vector<std::string> before = FolderListing(folder);

    const struct { const std::string* path; const char* says; } cases[] = {{&empty, "空的"}, {&binary, "不是文本文件"}};
    for (const auto& c : cases) {
        DropFile(bar, *c.path);
        HWND box = e2e::WaitForProcessWindowWith(app.ProcessId(), 0xFFFF, bar);
        ASSERT_NE(box, nullptr) << *c.path;
        HWND text = nullptr;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (e2e::WindowText(child).find(*c.path) != std::string::npos)
                text = child;
        ASSERT_NE(text, nullptr);
        EXPECT_NE(e2e::WindowText(text).find(c.says), std::string::npos) << e2e::WindowText(text);
        EXPECT_EQ(e2e::WaitForProcessWindowWith(app.ProcessId(), IDC_IMPORT_LIST, bar, 200), nullptr) << "no preview";
        ClickCentre(Descendant(box, IDOK));
        ASSERT_TRUE(e2e::WaitUntilGone(box, 5000));
    }
    EXPECT_EQ(FolderListing(folder), before);
    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
}

TEST(ImportE2E, AGbkListOfWordsAloneGetsPhoneticsAndMeaningsFromTheShippedBooks)
{
    LexorinProcess app("importfill");
    lex::CSettings(app.SettingsPath()).SetBannerScroll(false);
    const std::string list = app.Folder() + "第一课.txt";
    // Code page 936: the comment is Chinese; quokka is in no shipped book.
    ASSERT_TRUE(lex::ReplaceFileContents(list, "# 第一课 单词\r\nviolin\r\nkangaroo\r\nquokka\r\n"));
    ASSERT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    ASSERT_NE(bar, nullptr);

    DropFile(bar, list);
    HWND preview = WaitForPreview(app.ProcessId());
    ASSERT_NE(preview, nullptr);
    const std::string status = e2e::WindowText(Descendant(preview, IDC_IMPORT_STATUS));
    EXPECT_NE(status.find("共 3 条"), std::string::npos) << status;
    EXPECT_NE(status.find("GBK"), std::string::npos) << status;
    const std::string counts = e2e::WindowText(Descendant(preview, IDC_IMPORT_COUNTS));
    EXPECT_NE(counts.find("音标：补上 2 条，仍缺 1 条"), std::string::npos) << counts;
    EXPECT_NE(counts.find("释义：补上 2 条，仍缺 1 条"), std::string::npos) << counts;
    EXPECT_EQ(e2e::WindowText(Descendant(preview, IDC_IMPORT_NAME)), "第一课");
    ClickCentre(Descendant(preview, IDOK));
    ASSERT_TRUE(e2e::WaitUntilGone(preview, 5000));
    ASSERT_TRUE(wintest::PumpUntil([&] { return lex::CSettings(app.SettingsPath()).DictName() == "第一课"; }, 5000));
    e2e::Sync(bar);

    // The first entry scrolls with what the books know of it: "violin [vaɪəˈlɪn] n. 小提琴".
    const std::wstring copied = e2e::CopiedFirstEntry(bar);
    EXPECT_EQ(copied.rfind(L"violin [", 0), 0u) << lex::Narrow(copied);
    const size_t close = copied.find(L']');
    ASSERT_NE(close, std::wstring::npos) << lex::Narrow(copied);
    EXPECT_GT(close, 8u) << "a phonetic in the brackets";
    EXPECT_NE(copied.find(FromUtf8("\xE5\xB0\x8F\xE6\x8F\x90\xE7\x90\xB4"), close), std::wstring::npos)
        << "小提琴 after them: " << lex::Narrow(copied);

    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
}
