// CPU time of a process as the benchmarks read it: under Wine from Linux's /proc (Wine's
// GetProcessTimes does not count another process's threads while they run), elsewhere
// from GetProcessTimes. Shared by the benchmarks that start the real Lexorin.exe.
#pragma once

#include "base/text.h"

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

} // namespace
