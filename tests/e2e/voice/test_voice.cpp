// A speech server for the end-to-end tests: registered, in the test's own Wine
// session only, as the class of the system's voice object, it stands in for an engine
// that speaks. It says nothing; it appends each call that matters to the file named
// by LEXORIN_TEST_VOICE_LOG, one line each, as it happens:
//     create                     a voice object was made
//     speak <flags> <text>       Speak with a text (UTF-8)
//     silence <flags>            Speak without a text
//     rate <n>                   SetRate
//     voice <default|token>      SetVoice
// LEXORIN_TEST_VOICE_FAIL=1 makes every Speak fail, as an engine without a voice would.
#include <windows.h>

#include <sapi.h>

#include <new>
#include <string>

namespace {

LONG g_objects = 0;

void Log(const std::string& line)
{
    wchar_t path[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"LEXORIN_TEST_VOICE_LOG", path, MAX_PATH))
        return;
    HANDLE f = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
}

std::string Utf8(const wchar_t* text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? static_cast<size_t>(n) : 1u, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

bool Failing()
{
    wchar_t value[4] = {};
    return GetEnvironmentVariableW(L"LEXORIN_TEST_VOICE_FAIL", value, 4) && value[0] == L'1';
}

class CTestVoice : public ISpVoice {
public:
    CTestVoice() { InterlockedIncrement(&g_objects); }
    virtual ~CTestVoice() { InterlockedDecrement(&g_objects); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_ISpVoice || iid == IID_ISpEventSource || iid == IID_ISpNotifySource) {
            *out = static_cast<ISpVoice*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0)
            delete this;
        return static_cast<ULONG>(refs);
    }

    // ISpNotifySource
    HRESULT STDMETHODCALLTYPE SetNotifySink(ISpNotifySink*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetNotifyWindowMessage(HWND, UINT, WPARAM, LPARAM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetNotifyCallbackFunction(SPNOTIFYCALLBACK*, WPARAM, LPARAM) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetNotifyCallbackInterface(ISpNotifyCallback*, WPARAM, LPARAM) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetNotifyWin32Event() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE WaitForNotifyEvent(DWORD) override { return E_NOTIMPL; }
    HANDLE STDMETHODCALLTYPE GetNotifyEventHandle() override { return nullptr; }
    // ISpEventSource
    HRESULT STDMETHODCALLTYPE SetInterest(ULONGLONG, ULONGLONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetEvents(ULONG, SPEVENT*, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetInfo(SPEVENTSOURCEINFO*) override { return E_NOTIMPL; }
    // ISpVoice
    HRESULT STDMETHODCALLTYPE SetOutput(IUnknown*, WINBOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetOutputObjectToken(ISpObjectToken**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetOutputStream(ISpStreamFormat**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Pause() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Resume() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetVoice(ISpObjectToken* token) override
    {
        Log(token ? "voice token" : "voice default");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetVoice(ISpObjectToken**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Speak(LPCWSTR text, DWORD flags, ULONG* stream) override
    {
        if (stream)
            *stream = 0;
        if (text)
            Log("speak " + std::to_string(flags) + " " + Utf8(text));
        else
            Log("silence " + std::to_string(flags));
        return Failing() ? E_NOTIMPL : S_OK;
    }
    HRESULT STDMETHODCALLTYPE SpeakStream(IStream*, DWORD, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStatus(SPVOICESTATUS*, LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Skip(LPCWSTR, LONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPriority(SPVPRIORITY) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPriority(SPVPRIORITY*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAlertBoundary(SPEVENTENUM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAlertBoundary(SPEVENTENUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetRate(LONG rate) override
    {
        Log("rate " + std::to_string(rate));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetRate(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetVolume(USHORT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVolume(USHORT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE WaitUntilDone(ULONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetSyncSpeakTimeout(ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSyncSpeakTimeout(ULONG*) override { return E_NOTIMPL; }
    HANDLE STDMETHODCALLTYPE SpeakCompleteEvent() override { return nullptr; }
    HRESULT STDMETHODCALLTYPE IsUISupported(LPCWSTR, void*, ULONG, WINBOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DisplayUI(HWND, LPCWSTR, LPCWSTR, void*, ULONG) override { return E_NOTIMPL; }

private:
    LONG m_refs = 1;
};

class CTestVoiceFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* voice = new (std::nothrow) CTestVoice;
        if (!voice)
            return E_OUTOFMEMORY;
        Log("create");
        const HRESULT hr = voice->QueryInterface(iid, out);
        voice->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(WINBOOL) override { return S_OK; }
};

CTestVoiceFactory g_factory;

} // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    if (clsid != CLSID_SpVoice)
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return g_objects == 0 ? S_OK : S_FALSE;
}
