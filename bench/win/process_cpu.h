// CPU time of a process as the benchmarks read it: under Wine, each thread's run time
// from Linux's /proc, which the scheduler counts to the nanosecond (GetProcessTimes and
// the process's own /proc figures come in clock ticks of 10 ms, as much as a third of
// what a scrolling program spends in a round of a benchmark; and Wine's does not count
// another process's threads while they run); elsewhere from GetProcessTimes.
#pragma once

#include "base/text.h"
#include "bench_clock.h"
#include "support/linux_proc.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using e2e::ReadProcFile;

inline unsigned long PidFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::strtoul(value, nullptr, 10) : 0;
}

// Whether a /proc command line is this program's file (by name, whatever its folder)
// run with `arguments` (those after the program's path).
inline bool RunsThisProgram(const std::string& cmdline, const std::vector<std::string>& arguments)
{
    wchar_t path[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return false;
    auto fileName = [](const std::string& p) { return p.substr(p.find_last_of("\\/") + 1); };
    const std::vector<std::string> args = e2e::ArgumentsOf(cmdline);
    return !args.empty() && fileName(args[0]) == fileName(lex::Narrow(path)) &&
           std::equal(args.begin() + 1, args.end(), arguments.begin(), arguments.end());
}

// The Linux process this program runs in under Wine, or 0. Wine gives that process the
// program's arguments, the first one being the program's path as it was started: the
// process is one whose first argument names this program's file and whose other
// arguments are this program's. The one scripts/bench.sh names in LEX_BENCH_SELF_PID
// if it is such a process, else the first one found.
inline unsigned long OwnLinuxProcess()
{
    if (__argc < 1)
        return 0;
    const std::vector<std::string> arguments(__argv + 1, __argv + __argc);
    auto isThisProgram = [&](const std::string& cmdline) { return RunsThisProgram(cmdline, arguments); };
    const unsigned long named = PidFromEnvironment("LEX_BENCH_SELF_PID");
    if (named && isThisProgram(ReadProcFile(std::to_string(named) + "\\cmdline")))
        return named;
    return e2e::FindLinuxProcessWhere(isThisProgram);
}

// The CPU time of one process. Readings are nanoseconds by thread; the time between
// two counts the threads that lived through both and those that began meanwhile.
class CpuClock {
public:
    using Reading = std::map<unsigned long, long long>;

    // From /proc of the Linux process linuxPid where it can be read, else from
    // GetProcessTimes of `process` (one entry, thread 0); neither: no readings.
    CpuClock(unsigned long linuxPid, HANDLE process)
        : m_pid(!e2e::LinuxThreadRunNs(linuxPid).empty() ? linuxPid : 0), m_process(process)
    {
    }

    // This program's own.
    static const CpuClock& Own()
    {
        static const CpuClock own(OwnLinuxProcess(), ::GetCurrentProcess());
        return own;
    }

    bool Exact() const { return m_pid != 0; }
    const char* Source() const { return m_pid ? "/proc run times of its threads" : "GetProcessTimes"; }

    Reading Read() const
    {
        if (m_pid)
            return e2e::LinuxThreadRunNs(m_pid);
        FILETIME created, exited, kernel, user;
        if (!m_process || !::GetProcessTimes(m_process, &created, &exited, &kernel, &user))
            return {};
        auto ns = [](const FILETIME& t) {
            return static_cast<long long>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                          t.dwLowDateTime) *
                   100;
        };
        return {{0, ns(kernel) + ns(user)}};
    }

    // CPU seconds between two readings; negative if either is missing.
    static double SecondsBetween(const Reading& before, const Reading& after)
    {
        if (before.empty() || after.empty())
            return -1;
        return static_cast<double>(e2e::GrowthBetween(before, after)) / 1e9;
    }

private:
    unsigned long m_pid;
    HANDLE m_process;
};

// Shares of a core over a span of wall time: the program's own, and the wineserver's
// and the X server's where scripts/bench.sh passed their process ids (-1 otherwise).
struct CpuShares {
    double wall = 0, own = 0, server = -1, x = -1;
};

// Reads a started Lexorin.exe's CPU time (from /proc of its Linux process under Wine,
// found by its program folder's name), and the wineserver's and the X server's where
// scripts/bench.sh passed their process ids.
class LexorinCpuMeter {
public:
    LexorinCpuMeter(DWORD windowsPid, const std::string& programFolder)
        : m_process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, windowsPid)),
          m_own(e2e::LinuxProcessOfFolder(programFolder), m_process),
          m_server(PidFromEnvironment("LEX_BENCH_WINESERVER_PID"), nullptr),
          m_xserver(PidFromEnvironment("LEX_BENCH_XSERVER_PID"), nullptr)
    {
    }
    ~LexorinCpuMeter()
    {
        if (m_process)
            ::CloseHandle(m_process);
    }
    LexorinCpuMeter(const LexorinCpuMeter&) = delete;
    LexorinCpuMeter& operator=(const LexorinCpuMeter&) = delete;

    const CpuClock& Clock() const { return m_own; }

    // Sleeps for the given seconds and returns the shares over that time.
    CpuShares Measure(int seconds) const
    {
        return MeasureWhile([seconds] { ::Sleep(1000 * seconds); });
    }

    // The shares over the time `run` takes.
    CpuShares MeasureWhile(const std::function<void()>& run) const
    {
        const double wall0 = Now();
        const auto own0 = m_own.Read(), server0 = m_server.Read(), x0 = m_xserver.Read();
        run();
        const auto own1 = m_own.Read(), server1 = m_server.Read(), x1 = m_xserver.Read();
        CpuShares s;
        s.wall = Now() - wall0;
        auto share = [&](const CpuClock::Reading& a, const CpuClock::Reading& b) {
            const double cpu = CpuClock::SecondsBetween(a, b);
            return cpu < 0 ? -1 : cpu / s.wall;
        };
        s.own = share(own0, own1);
        s.server = share(server0, server1);
        s.x = share(x0, x1);
        return s;
    }

private:
    HANDLE m_process;
    CpuClock m_own, m_server, m_xserver;
};

} // namespace
