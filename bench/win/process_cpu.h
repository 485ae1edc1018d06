// CPU time of a process as the benchmarks read it: under Wine from Linux's /proc (Wine's
// GetProcessTimes does not count another process's threads while they run), elsewhere
// from GetProcessTimes. Shared by the benchmarks that start the real Lexorin.exe.
#pragma once

#include "base/text.h"
#include "bench_clock.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// A file of Linux's /proc through Wine's view of the root (drive Z:); empty if unreadable.
inline std::string ReadProcFile(const std::string& path)
{
    std::string bytes;
    HANDLE h = ::CreateFileW(lex::Widen("Z:\\proc\\" + path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(h, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    ::CloseHandle(h);
    return bytes;
}

// The Linux process id of the process whose command line contains `part`, or 0.
inline unsigned long FindLinuxProcess(const std::string& part)
{
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW(L"Z:\\proc\\*", &found);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    unsigned long pid = 0;
    do {
        const unsigned long n = std::wcstoul(found.cFileName, nullptr, 10);
        if (n && ReadProcFile(std::to_string(n) + "\\cmdline").find(part) != std::string::npos)
            pid = n;
    } while (!pid && ::FindNextFileW(find, &found));
    ::FindClose(find);
    return pid;
}

// User + system CPU seconds of a Linux process (clock ticks of 1/100 s, Linux's fixed
// USER_HZ); negative if it cannot be read.
inline double LinuxCpuSeconds(unsigned long pid)
{
    const std::string stat = pid ? ReadProcFile(std::to_string(pid) + "\\stat") : std::string();
    // After the command name in parentheses: state is field 3, utime 14, stime 15.
    const size_t name = stat.rfind(')');
    unsigned long long utime = 0, stime = 0;
    if (name == std::string::npos ||
        std::sscanf(stat.c_str() + name + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime,
                    &stime) != 2)
        return -1;
    return static_cast<double>(utime + stime) / 100.0;
}

inline unsigned long PidFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::strtoul(value, nullptr, 10) : 0;
}

inline double WindowsCpuSeconds(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    if (!process || !::GetProcessTimes(process, &created, &exited, &kernel, &user))
        return -1;
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

// Shares of a core over a span of wall time: the program's own, and the wineserver's
// and the X server's where scripts/bench.sh passed their process ids (-1 otherwise).
struct CpuShares {
    double wall = 0, own = 0, server = -1, x = -1;
};

// Reads a started Lexorin.exe's CPU time: from /proc of its Linux process under Wine
// (found by its program folder's name), else from GetProcessTimes.
class LexorinCpuMeter {
public:
    LexorinCpuMeter(DWORD windowsPid, const std::string& programFolder)
        : m_process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, windowsPid)),
          m_server(PidFromEnvironment("LEX_BENCH_WINESERVER_PID")),
          m_xserver(PidFromEnvironment("LEX_BENCH_XSERVER_PID"))
    {
        std::string tag = programFolder;
        tag = tag.substr(tag.find_last_of('\\', tag.size() - 2) + 1);
        m_self = FindLinuxProcess(tag.substr(0, tag.size() - 1));
    }
    ~LexorinCpuMeter()
    {
        if (m_process)
            ::CloseHandle(m_process);
    }
    LexorinCpuMeter(const LexorinCpuMeter&) = delete;
    LexorinCpuMeter& operator=(const LexorinCpuMeter&) = delete;

    bool FromProc() const { return m_self != 0; }

    // Sleeps for the given seconds and returns the shares over that time.
    CpuShares Measure(int seconds) const
    {
        const double wall0 = Now(), own0 = Own(), server0 = Of(m_server), x0 = Of(m_xserver);
        ::Sleep(1000 * seconds);
        CpuShares s;
        s.wall = Now() - wall0;
        s.own = (Own() - own0) / s.wall;
        if (server0 >= 0)
            s.server = (Of(m_server) - server0) / s.wall;
        if (x0 >= 0)
            s.x = (Of(m_xserver) - x0) / s.wall;
        return s;
    }

private:
    double Own() const { return m_self ? LinuxCpuSeconds(m_self) : WindowsCpuSeconds(m_process); }
    static double Of(unsigned long pid) { return pid ? LinuxCpuSeconds(pid) : -1; }

    HANDLE m_process;
    unsigned long m_server, m_xserver, m_self = 0;
};

} // namespace
