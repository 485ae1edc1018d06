// Under Wine a Windows program is a Linux process: its CPU time and how often its
// threads woke are read from Linux's /proc through Wine's view of the root (drive Z:).
#pragma once

#include "base/text.h"

#include <windows.h>

#include <cstdlib>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace e2e {

// A file of /proc; empty if unreadable (not under Wine).
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

// The arguments in a process's command line as /proc gives it (each ended by a NUL;
// Wine pads the line of a Windows program with more NULs, which end no argument).
inline std::vector<std::string> ArgumentsOf(const std::string& cmdline)
{
    std::vector<std::string> args;
    const size_t end = cmdline.find_last_not_of('\0');
    for (size_t at = 0; end != std::string::npos && at <= end;) {
        const size_t next = std::min(cmdline.find('\0', at), cmdline.size());
        args.push_back(cmdline.substr(at, next - at));
        at = next + 1;
    }
    return args;
}

// The Linux process id of the first process whose command line (as /proc gives it)
// `match` accepts, or 0.
template <typename Match>
unsigned long FindLinuxProcessWhere(Match match)
{
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW(L"Z:\\proc\\*", &found);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    unsigned long pid = 0;
    do {
        const unsigned long n = std::wcstoul(found.cFileName, nullptr, 10);
        if (n && match(ReadProcFile(std::to_string(n) + "\\cmdline")))
            pid = n;
    } while (!pid && ::FindNextFileW(find, &found));
    ::FindClose(find);
    return pid;
}

// The Linux process id of the process whose command line contains `part`, or 0.
inline unsigned long FindLinuxProcess(const std::string& part)
{
    return FindLinuxProcessWhere(
        [&](const std::string& cmdline) { return cmdline.find(part) != std::string::npos; });
}

// One figure of every thread of a Linux process, by thread id: `read` takes the text of
// the thread's /proc file `file` and returns the figure, or a negative number if the
// file does not hold it; empty if the process cannot be read.
template <typename Read>
std::map<unsigned long, long long> PerThread(unsigned long pid, const char* file, Read read)
{
    std::map<unsigned long, long long> figures;
    if (!pid)
        return figures;
    const std::string task = std::to_string(pid) + "\\task\\";
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW(lex::Widen("Z:\\proc\\" + task + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return figures;
    do {
        const unsigned long tid = std::wcstoul(found.cFileName, nullptr, 10);
        if (!tid)
            continue;
        const long long figure = read(ReadProcFile(task + std::to_string(tid) + "\\" + file));
        if (figure >= 0)
            figures[tid] = figure;
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    return figures;
}

// How many times each thread of a Linux process has gone to sleep waiting (every
// timer tick, message or other wake-up ends in one), by thread id; empty if unreadable.
inline std::map<unsigned long, long long> LinuxThreadWaits(unsigned long pid)
{
    return PerThread(pid, "status", [](const std::string& status) {
        const size_t at = status.find("\nvoluntary_ctxt_switches:");
        return at == std::string::npos ? -1LL : std::atoll(status.c_str() + at + 25);
    });
}

// Nanoseconds each thread of a Linux process has run on a processor, by thread id, as
// the scheduler counts it (exact, where the process's CPU times in `stat` come in whole
// clock ticks of 10 ms); empty if unreadable.
inline std::map<unsigned long, long long> LinuxThreadRunNs(unsigned long pid)
{
    return PerThread(pid, "schedstat", [](const std::string& schedstat) {
        return schedstat.empty() ? -1LL : std::atoll(schedstat.c_str());
    });
}

// The growth of a per-thread figure between two readings: that of threads that lived
// through both, and all of it for those that began meanwhile (a thread that ended
// meanwhile is not counted).
inline long long GrowthBetween(const std::map<unsigned long, long long>& before,
                               const std::map<unsigned long, long long>& after)
{
    long long total = 0;
    for (const auto& [tid, figure] : after) {
        const auto was = before.find(tid);
        total += was == before.end() ? figure : figure - was->second;
    }
    return total;
}

// The Linux process of a Lexorin.exe run from programFolder (its folder's name is
// unique to the run).
inline unsigned long LinuxProcessOfFolder(const std::string& programFolder)
{
    std::string tag = programFolder;
    tag = tag.substr(tag.find_last_of('\\', tag.size() - 2) + 1);
    return FindLinuxProcess(tag.substr(0, tag.size() - 1));
}

} // namespace e2e
