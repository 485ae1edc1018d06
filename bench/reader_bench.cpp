// Dictionary reader speed on a large generated dictionary:
//  - a full scan with ReadLine (buffer 2048) against `wc -l` on the same file;
//  - reopening at a saved position (900,000) by re-reading versus restoring a mark,
//    which is what the main bar does on every resize.
#include "bench_result.h"
#include "dictionary/line_reader.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// 1,000,000 entries of word/phonetic/meaning in code page 936, CR LF and LF mixed,
// with a blank line now and then.
bool WriteDictionary(const std::string& path, int entries, long long& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::mt19937 rng(936);
    std::uniform_int_distribution<int> letters(3, 12), hanzi(4, 14), pick(0, 99);
    std::string line;
    bytes = 0;
    for (int i = 0; i < entries; ++i) {
        line.clear();
        for (int k = letters(rng); k > 0; --k)
            line += static_cast<char>('a' + pick(rng) % 26);
        line += '/';
        for (int k = letters(rng); k > 0; --k)
            line += static_cast<char>('A' + pick(rng) % 58);
        line += "/n. ";
        for (int k = hanzi(rng); k > 0; --k) {
            line += static_cast<char>(0xB0 + pick(rng) % 40); // GB2312 hanzi rows
            line += static_cast<char>(0xA1 + pick(rng) % 90);
        }
        line += (i % 3 == 0) ? "\n" : "\r\n";
        if (pick(rng) == 0)
            line += "\r\n";
        bytes += static_cast<long long>(line.size());
        if (std::fwrite(line.data(), 1, line.size(), f) != line.size()) {
            std::fclose(f);
            return false;
        }
    }
    return std::fclose(f) == 0;
}

double TimeWc(const std::string& path, long long& lines)
{
    const std::string cmd = "wc -l < '" + path + "'";
    const auto t0 = Clock::now();
    FILE* p = popen(cmd.c_str(), "r");
    if (!p)
        return -1;
    char out[64] = {};
    if (!std::fgets(out, sizeof out, p))
        out[0] = 0;
    pclose(p);
    const auto t1 = Clock::now();
    lines = std::atoll(out);
    return Ms(t0, t1);
}

double TimeScan(const std::string& path, int& lines, int& lastCounter)
{
    CLineReader reader(2048);
    if (!reader.Open(path))
        return -1;
    std::string line;
    lines = 0;
    const auto t0 = Clock::now();
    int n;
    while ((n = reader.ReadLine(line)) != 0) {
        ++lines;
        lastCounter = n;
    }
    return Ms(t0, Clock::now());
}

} // namespace

int main()
{
    char dir[] = "/tmp/lexorin_bench_XXXXXX";
    if (!mkdtemp(dir)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string path = std::string(dir) + "/big.KM";
    const int entries = 1000000;
    const int position = 900000;
    long long bytes = 0;
    if (!WriteDictionary(path, entries, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    const double mb = static_cast<double>(bytes) / (1024.0 * 1024.0);
    std::printf("dictionary: %d entries, %.1f MB\n", entries, mb);

    // Warm the page cache, then take the best of five of each.
    int lines = 0, counter = 0;
    long long wcLines = 0;
    TimeScan(path, lines, counter);
    TimeWc(path, wcLines);
    double scanBest = 1e30, wcBest = 1e30;
    for (int r = 0; r < 5; ++r) {
        const double s = TimeScan(path, lines, counter);
        const double w = TimeWc(path, wcLines);
        scanBest = s < scanBest ? s : scanBest;
        wcBest = w < wcBest ? w : wcBest;
    }
    std::printf("full scan, ReadLine, buffer 2048: %8.2f ms  (%.0f MB/s, %d lines, last counter %d)\n", scanBest,
                mb / (scanBest / 1000.0), lines, counter);
    std::printf("wc -l (incl. process start):      %8.2f ms  (%lld lines)\n", wcBest, wcLines);
    std::printf("ratio reader / wc -l:             %8.2f  (target: within 4)\n", scanBest / wcBest);
    lexbench::Result("reader_scan_vs_wc_l", scanBest / wcBest, "x", lexbench::Bound::AtMost, 4);

    // Reopening at the saved position.
    CLineReader reader(2048);
    if (!reader.Open(path))
        return 1;
    reader.SkipLines(position);
    const LineReaderMark mark = reader.GetMark();
    std::string expected;
    const int expectedCounter = reader.ReadLine(expected);

    double rereadBest = 1e30, restoreBest = 1e30;
    std::string line;
    bool same = true;
    for (int r = 0; r < 5; ++r) {
        auto t0 = Clock::now();
        reader.Close();
        reader.Open(path);
        reader.ReadLine(line);
        reader.Rewind();
        reader.SkipLines(position);
        auto t1 = Clock::now();
        same = same && reader.ReadLine(line) == expectedCounter && line == expected;
        rereadBest = std::min(rereadBest, Ms(t0, t1));

        t0 = Clock::now();
        reader.Close();
        reader.Open(path);
        const bool restored = reader.RestoreMark(mark);
        t1 = Clock::now();
        same = same && restored && reader.ReadLine(line) == expectedCounter && line == expected;
        restoreBest = std::min(restoreBest, Ms(t0, t1));
    }
    std::printf("reopen at %d by re-reading:    %8.3f ms\n", position, rereadBest);
    std::printf("reopen at %d with a mark:      %8.3f ms  (%s)\n", position, restoreBest,
                same ? "same next line and counter" : "MISMATCH");

    reader.Close();
    std::remove(path.c_str());
    rmdir(dir);
    return same ? 0 : 1;
}
