// The two packages a Windows user downloads, and what Explorer says about the exe.
// The installer is run silently, as a deployment tool would run it: a fresh install
// puts the program folder, shortcut and Apps & features entry in place and the
// installed program starts; an upgrade while the program runs closes it and keeps the
// user's settings and dictionaries; the uninstaller removes the program and keeps
// them. The portable zip (unpacked by the CTest fixture) is a folder that runs.
#include "base/text.h"
#include "support/lexorin_process.h"
#include "support/win_test_util.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

using e2e::LexorinProcess;

namespace {

const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lexorin";
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kUserDictionary[] = "Dictionary\\我的词典.KM";
const char kUserDictionaryText[] = "hello/[hE'lEu]/你好\r\n";

// A code page 936 path as UTF-8, for failure messages.
std::string Utf8(const std::string& cp936)
{
    std::wstring w = lex::Widen(cp936);
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::string DistFolder()
{
    return wintest::FromUnixPath(LEX_DIST_DIR) + "\\";
}

bool Exists(const std::string& path)
{
    return GetFileAttributesW(lex::Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ReadAll(const std::string& path, std::string* data)
{
    HANDLE h = CreateFileW(lex::Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    data->clear();
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0)
        data->append(buf, got);
    CloseHandle(h);
    return true;
}

bool WriteAll(const std::string& path, const std::string& data)
{
    HANDLE h = CreateFileW(lex::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == data.size();
}

// Every file below folder, as paths relative to it (code page 936).
void ListFiles(const std::string& folder, const std::string& prefix, std::set<std::string>* out)
{
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(lex::Widen(folder + prefix + "*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = lex::Narrow(fd.cFileName);
        if (name == "." || name == "..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListFiles(folder, prefix + name + "\\", out);
        else
            out->insert(prefix + name);
    } while (FindNextFileW(find, &fd));
    FindClose(find);
}

// The files of the program folder the build makes, but its Lexorin.ini, which the
// packages replace with the shipped one (a developer's run changes the build's copy),
// and leftovers of an interrupted settings write.
std::set<std::string> ShippedFiles()
{
    std::set<std::string> all, shipped;
    ListFiles(DistFolder(), "", &all);
    for (const std::string& f : all) {
        bool temp = f.size() >= 5 && f.compare(f.size() - 5, 5, ".tmp~") == 0;
        if (f != "Lexorin.ini" && !temp)
            shipped.insert(f);
    }
    return shipped;
}

// folder holds exactly the shipped files, each identical to the build's, plus
// Lexorin.ini and the extras named.
void ExpectProgramFolder(const std::string& folder, const std::set<std::string>& extras)
{
    std::set<std::string> shipped = ShippedFiles();
    ASSERT_TRUE(shipped.count("Lexorin.exe")) << "the build's program folder is incomplete";
    std::set<std::string> want = shipped;
    want.insert("Lexorin.ini");
    want.insert(extras.begin(), extras.end());
    std::set<std::string> have;
    ListFiles(folder, "", &have);
    for (const std::string& f : want)
        EXPECT_TRUE(have.count(f)) << "missing: " << Utf8(f);
    for (const std::string& f : have)
        EXPECT_TRUE(want.count(f)) << "unexpected: " << Utf8(f);
    for (const std::string& f : shipped) {
        std::string a, b;
        if (ReadAll(DistFolder() + f, &a) && ReadAll(folder + f, &b)) {
            EXPECT_TRUE(a == b) << Utf8(f) << " differs from the build's";
        }
    }
}

std::string PristineIni()
{
    std::string text;
    ReadAll(wintest::FromUnixPath(LEX_PRISTINE_INI), &text);
    return text;
}

bool RegRead(const wchar_t* key, const wchar_t* value, std::wstring* out)
{
    HKEY h;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS)
        return false;
    wchar_t buf[1024] = {};
    DWORD size = sizeof buf - sizeof(wchar_t), type = 0;
    LONG rc = RegQueryValueExW(h, value, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS || type != REG_SZ)
        return false;
    *out = buf;
    return true;
}

bool KeyExists(const wchar_t* key)
{
    HKEY h;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

std::string ShortcutPath()
{
    wchar_t programs[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
    return lex::Narrow(programs) + "\\Lexorin.lnk";
}

// The program a shortcut starts, or "" when it cannot be read.
std::string ShortcutTarget(const std::string& lnk)
{
    std::string target;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(lex::Widen(lnk).c_str(), STGM_READ)) &&
            SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0)))
            target = lex::Narrow(path);
        file->Release();
    }
    link->Release();
    return target;
}

bool SamePath(const std::string& a, const std::string& b)
{
    return lstrcmpiW(lex::Widen(a).c_str(), lex::Widen(b).c_str()) == 0;
}

// Runs a command line and waits for it; its exit code, or STILL_ACTIVE on timeout.
DWORD RunAndWait(const std::wstring& commandLine, DWORD ms)
{
    std::wstring cmd = commandLine;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return static_cast<DWORD>(-1);
    CloseHandle(pi.hThread);
    WaitForSingleObject(pi.hProcess, ms);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    return code;
}

bool WaitFor(const std::function<bool()>& done, DWORD ms)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= ms)
            return false;
        Sleep(100);
    }
    return true;
}

// The test prefix is shared by every run: no install of an earlier, failed run may
// make a check pass, and none may outlive the test (a Run entry would start Lexorin in
// later Wine sessions).
void RemoveInstallTraces()
{
    RegDeleteKeyW(HKEY_CURRENT_USER, kUninstallKey);
    HKEY run;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
        RegDeleteValueW(run, L"Lexorin");
        RegCloseKey(run);
    }
    DeleteFileW(lex::Widen(ShortcutPath()).c_str());
}

class Installer : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        RemoveInstallTraces();
        m_folder = wintest::MakeTempFolder("installed");
        // The installer creates the folder itself, below a path that does not exist yet.
        m_folder += "Lexorin\\";
    }
    void TearDown() override
    {
        RemoveInstallTraces();
        wintest::RemoveFolder(m_folder.substr(0, m_folder.size() - std::string("Lexorin\\").size()));
        CoUninitialize();
    }
    // NSIS takes /D= unquoted and last, spaces and all, without a trailing backslash.
    DWORD RunSetup(const wchar_t* options) const
    {
        std::wstring folder = lex::Widen(m_folder.substr(0, m_folder.size() - 1));
        std::wstring setup = lex::Widen(wintest::FromUnixPath(LEX_SETUP_EXE));
        return RunAndWait(L"\"" + setup + L"\" /S " + options + L" /D=" + folder, 120000);
    }
    std::string m_folder;
};

TEST_F(Installer, InstallsUpgradesOverARunningCopyAndUninstallsKeepingTheUsersFiles)
{
    ASSERT_TRUE(Exists(wintest::FromUnixPath(LEX_SETUP_EXE))) << "no installer: `make dist` builds it";
    const std::string exe = m_folder + "Lexorin.exe";
    const std::string ini = m_folder + "Lexorin.ini";

    // A first install, asking for the start with Windows.
    ASSERT_EQ(RunSetup(L"/AUTOSTART"), 0u);
    ExpectProgramFolder(m_folder, {"uninstall.exe"});
    std::string text;
    ASSERT_TRUE(ReadAll(ini, &text));
    EXPECT_TRUE(text == PristineIni()) << "a first install gets the shipped settings";
    EXPECT_TRUE(SamePath(ShortcutTarget(ShortcutPath()), exe)) << "Start-menu shortcut: " << ShortcutTarget(ShortcutPath());
    std::wstring value;
    EXPECT_TRUE(RegRead(kRunKey, L"Lexorin", &value) && value == L"\"" + lex::Widen(exe) + L"\"");
    EXPECT_TRUE(RegRead(kUninstallKey, L"DisplayName", &value) && value == L"Lexorin");
    EXPECT_TRUE(RegRead(kUninstallKey, L"DisplayVersion", &value) && value == L"4.1");
    EXPECT_TRUE(RegRead(kUninstallKey, L"InstallLocation", &value) &&
                SamePath(lex::Narrow(value) + "\\", m_folder));
    EXPECT_TRUE(RegRead(kUninstallKey, L"UninstallString", &value) &&
                SamePath(lex::Narrow(value), "\"" + m_folder + "uninstall.exe\""));

    // The user reads on (position 137), picks a word colour, adds a dictionary, and a
    // shipped file gets damaged; the installed program is running when the upgrade comes.
    WritePrivateProfileStringW(L"Dict", L"DictWordCount", L"137", lex::Widen(ini).c_str());
    WritePrivateProfileStringW(L"Banner", L"BannerWordColor", L"ff", lex::Widen(ini).c_str());
    ASSERT_TRUE(WriteAll(m_folder + kUserDictionary, kUserDictionaryText));
    ASSERT_TRUE(WriteAll(m_folder + "Tips.tip", "x"));
    {
        LexorinProcess app(LexorinProcess::InPlace{}, m_folder);
        ASSERT_TRUE(app.Start());
        ASSERT_NE(app.WaitForMainWindow(15000), nullptr) << "the installed program shows no bar";

        ASSERT_EQ(RunSetup(L""), 0u) << "the upgrade failed with the program running";
        EXPECT_EQ(app.WaitForExit(5000), 0u) << "the installer must end the program through its exit command";
    }
    ExpectProgramFolder(m_folder, {"uninstall.exe", kUserDictionary});
    int position = static_cast<int>(GetPrivateProfileIntW(L"Dict", L"DictWordCount", -1, lex::Widen(ini).c_str()));
    EXPECT_GE(position, 137) << "the reading position saved at exit was lost";
    EXPECT_LT(position, 137 + 100);
    wchar_t colour[32] = {};
    GetPrivateProfileStringW(L"Banner", L"BannerWordColor", L"", colour, 32, lex::Widen(ini).c_str());
    EXPECT_STREQ(colour, L"ff");
    ASSERT_TRUE(ReadAll(m_folder + kUserDictionary, &text));
    EXPECT_EQ(text, kUserDictionaryText);
    EXPECT_TRUE(RegRead(kRunKey, L"Lexorin", &value)) << "an upgrade keeps the start with Windows";
    EXPECT_TRUE(SamePath(ShortcutTarget(ShortcutPath()), exe));

    // A silent uninstall. Its copy in the temp folder does the work after the started
    // uninstall.exe has ended; the Apps & features entry goes last.
    ASSERT_EQ(RunAndWait(L"\"" + lex::Widen(m_folder) + L"uninstall.exe\" /S", 60000), 0u);
    EXPECT_TRUE(WaitFor([] { return !KeyExists(kUninstallKey); }, 60000)) << "Apps & features entry left";
    EXPECT_TRUE(WaitFor([&] { return !Exists(m_folder + "uninstall.exe"); }, 10000));
    for (const std::string& f : ShippedFiles())
        EXPECT_FALSE(Exists(m_folder + f)) << "left behind: " << Utf8(f);
    EXPECT_FALSE(Exists(ShortcutPath()));
    EXPECT_FALSE(RegRead(kRunKey, L"Lexorin", &value));
    std::set<std::string> left;
    ListFiles(m_folder, "", &left);
    EXPECT_EQ(left, (std::set<std::string>{"Lexorin.ini", kUserDictionary})) << "the user's own files stay";
    EXPECT_EQ(static_cast<int>(GetPrivateProfileIntW(L"Dict", L"DictWordCount", -1, lex::Widen(ini).c_str())),
              position);
}

TEST(PortableZip, UnpacksToTheProgramFolderThatRuns)
{
    std::string folder = wintest::FromUnixPath(LEX_PORTABLE_FOLDER) + "\\";
    ASSERT_TRUE(Exists(folder + "Lexorin.exe")) << "the zip was not unpacked to " << folder;
    ExpectProgramFolder(folder, {});
    std::string text;
    ASSERT_TRUE(ReadAll(folder + "Lexorin.ini", &text));
    EXPECT_TRUE(text == PristineIni()) << "the zip carries the shipped settings, not a developer's "
                                          "(ctest unpacks it afresh before each run)";

    LexorinProcess app(LexorinProcess::InPlace{}, folder);
    ASSERT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    ASSERT_NE(bar, nullptr) << "the unpacked program shows no bar";
    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
}

std::wstring VersionString(const std::vector<BYTE>& info, const wchar_t* name)
{
    void* p = nullptr;
    UINT len = 0;
    std::wstring path = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
    if (!VerQueryValueW(info.data(), path.c_str(), &p, &len) || !p)
        return L"";
    return static_cast<const wchar_t*>(p);
}

std::vector<BYTE> VersionInfo(const std::string& file)
{
    std::wstring path = lex::Widen(file);
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
    std::vector<BYTE> info(size);
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, info.data()))
        info.clear();
    return info;
}

// Explorer's Properties -> Details: the name and version the program itself shows.
TEST(VersionResource, NamesTheProductAndVersionTheProgramShows)
{
    std::string exe = DistFolder() + "Lexorin.exe";
    std::vector<BYTE> info = VersionInfo(exe);
    ASSERT_FALSE(info.empty()) << "Lexorin.exe has no version resource";

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(1, 4)));
    EXPECT_EQ(fixed->dwProductVersionMS, static_cast<DWORD>(MAKELONG(1, 4)));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &len));
    ASSERT_GE(len, 4u);
    EXPECT_EQ(translation[0], 0x0804) << "Simplified Chinese";
    EXPECT_EQ(translation[1], 1200) << "UTF-16";

    EXPECT_EQ(VersionString(info, L"ProductName"), L"Quillmere");
    EXPECT_EQ(VersionString(info, L"ProductVersion"), L"4.1");
    EXPECT_EQ(VersionString(info, L"OriginalFilename"), L"Lexorin.exe");
    std::wstring description = VersionString(info, L"FileDescription");
    bool chinese = false;
    for (wchar_t c : description)
        chinese = chinese || (c >= 0x4E00 && c <= 0x9FFF);
    EXPECT_TRUE(chinese) << "the file description is in Chinese";

    // The same text as the strings the program loads for its title and about box.
    HMODULE module = LoadLibraryExW(lex::Widen(exe).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    wchar_t name[64] = {}, version[64] = {};
    LoadStringW(module, 32795, name, 64);
    LoadStringW(module, 32797, version, 64);
    FreeLibrary(module);
    EXPECT_EQ(VersionString(info, L"ProductName"), name);
    EXPECT_EQ(VersionString(info, L"ProductVersion"), version);

    // The installer tells Explorer the same.
    std::vector<BYTE> setup = VersionInfo(wintest::FromUnixPath(LEX_SETUP_EXE));
    ASSERT_FALSE(setup.empty()) << "the installer has no version resource";
    EXPECT_EQ(VersionString(setup, L"ProductName"), L"Quillmere");
    EXPECT_EQ(VersionString(setup, L"ProductVersion"), L"4.1");
}

} // namespace
