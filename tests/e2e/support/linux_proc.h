// Under Wine a Windows program is a Linux process: its CPU time and how often its
// threads woke are read from Linux's /proc through Wine's view of the root (drive Z:).
#pragma once

#include "base/text.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

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

// How many times each thread of a Linux process has gone to sleep waiting (every
// timer tick, message or other wake-up ends in one), by thread id; empty if unreadable.
inline std::map<unsigned long, long long> LinuxThreadWaits(unsigned long pid)
{
    std::map<unsigned long, long long> waits;
    if (!pid)
        return waits;
    WIN32_FIND_DATAW found;
    HANDLE find =
        ::FindFirstFileW(lex::Widen("Z:\\proc\\" + std::to_string(pid) + "\\task\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return waits;
    do {
        const unsigned long tid = std::wcstoul(found.cFileName, nullptr, 10);
        if (!tid)
            continue;
        const std::string status =
            ReadProcFile(std::to_string(pid) + "\\task\\" + std::to_string(tid) + "\\status");
        const size_t at = status.find("\nvoluntary_ctxt_switches:");
        if (at != std::string::npos)
            waits[tid] = std::atoll(status.c_str() + at + 25);
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    return waits;
}

// The waits between two readings: those of threads that lived through both, and all of
// those that began meanwhile (a thread that ended meanwhile is not counted).
inline long long WaitsBetween(const std::map<unsigned long, long long>& before,
                              const std::map<unsigned long, long long>& after)
{
    long long total = 0;
    for (const auto& [tid, count] : after) {
        const auto was = before.find(tid);
        total += was == before.end() ? count : count - was->second;
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
