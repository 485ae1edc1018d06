// CPU time of a process as the benchmarks read it: under Wine from Linux's /proc (Wine's
// GetProcessTimes does not count another process's threads while they run), elsewhere
// from GetProcessTimes. Shared by the benchmarks that start the real Lexorin.exe.
#pragma once

#include "base/text.h"
#include "bench_clock.h"
#include "support/linux_proc.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using e2e::FindLinuxProcess;
using e2e::LinuxCpuSeconds;
using e2e::ReadProcFile;

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
        m_self = e2e::LinuxProcessOfFolder(programFolder);
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
