#include "support/lexorin_process.h"
#include "framework/text.h"
#include "support/win_test_util.h"

#include <shellapi.h>

namespace e2e {

const char kMainTitle[] = "Quillmere4.1";

namespace {

struct FindData {
    DWORD pid;
    std::wstring title;
    HWND found;
};

BOOL CALLBACK FindProc(HWND hWnd, LPARAM lParam)
{
    auto* data = reinterpret_cast<FindData*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid != data->pid || !IsWindowVisible(hWnd))
        return TRUE;
    wchar_t text[256] = {};
    GetWindowTextW(hWnd, text, 256);
    if (data->title == text) {
        data->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

bool CopyFolder(const std::string& from, const std::string& to)
{
    std::wstring src = lex::Widen(from) + L"\\*";
    src.push_back(L'\0');
    std::wstring dst = lex::Widen(to);
    while (!dst.empty() && dst.back() == L'\\')
        dst.pop_back();
    dst.push_back(L'\0');
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_COPY;
    op.pFrom = src.c_str();
    op.pTo = dst.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT | FOF_NOCONFIRMMKDIR;
    return SHFileOperationW(&op) == 0;
}

} // namespace

HWND FindProcessWindow(DWORD pid, const std::string& title)
{
    FindData data = {pid, lex::Widen(title), nullptr};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

void Sync(HWND hWnd)
{
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(hWnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
}

LexorinProcess::LexorinProcess(const char* tag, const char* exeName)
{
    m_folder = wintest::MakeTempFolder(tag);
    CopyFolder(wintest::FromUnixPath(LEX_DIST_DIR), m_folder);
    m_exe = m_folder + exeName;
    if (std::string(exeName) != "Lexorin.exe")
        MoveFileW(lex::Widen(m_folder + "Lexorin.exe").c_str(), lex::Widen(m_exe).c_str());
}

LexorinProcess::~LexorinProcess()
{
    Kill();
    wintest::RemoveFolder(m_folder);
}

HANDLE LexorinProcess::Launch() const
{
    std::wstring exe = lex::Widen(m_exe);
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, lex::Widen(m_folder).c_str(), &si,
                        &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

bool LexorinProcess::Start()
{
    m_process = Launch();
    if (!m_process)
        return false;
    m_pid = GetProcessId(m_process);
    return true;
}

HWND LexorinProcess::WaitForMainWindow(DWORD ms) const
{
    HWND found = nullptr;
    wintest::PumpUntil([&] { return (found = FindProcessWindow(m_pid, kMainTitle)) != nullptr; }, ms);
    return found;
}

DWORD LexorinProcess::WaitForExit(DWORD ms) const
{
    if (!m_process)
        return STILL_ACTIVE;
    WaitForSingleObject(m_process, ms);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(m_process, &code);
    return code;
}

void LexorinProcess::Kill()
{
    if (!m_process)
        return;
    if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 5000);
    }
    CloseHandle(m_process);
    m_process = nullptr;
}

} // namespace e2e
