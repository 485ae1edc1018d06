// The banner's CPU cost while it scrolls: a full line (31 entries of four items, as
// the word feed builds it) at speed 800 in a window the size of the main bar's
// banner. Beside it, what the font and width caches save on a paint of the whole strip
// (what every new entry in view and every picture drawn ahead of the line costs)
// against building every item's font anew. A bare timer chain beside it (a window that only re-arms the banner's
// one-shot timer on every tick, with the timer thread kept alive as the banner keeps
// it) shows what each tick costs before the banner does any work; the same chain showing
// one changed pixel per tick is the least any animation costs under Wine, and the
// budgets are ratios to that: the line at most 1.15 times it, the line saving power
// (2 px every 24 ms) at most 0.65 times it. The runs take turns in short rounds so that the load of
// other programs on the machine falls on all of them alike. Run from the program
// folder, so that the phonetic font is found.
//
// `banner_bench --profile S` only scrolls the full line with the caches for S seconds,
// `--profile-bare S` only runs the bare chain, `--profile-pixel S` the chain showing one
// pixel per tick, `--profile-saving S` scrolls saving power
// (2 px every 24 ms) and `--profile-slow S` one pixel every 25 ms (speed 400: the saving
// mode's tick rate with the plain step, to tell what the period costs from what the step
// costs), for a profiler attached from outside (perf record -p, or a wineserver started
// with -d1 to trace the requests per tick).
#include "../bench_result.h"
#include "bare_chain.h"
#include "bench_clock.h"
#include "banner/banner_ctrl.h"
#include "framework/gdi.h"
#include "framework/wnd.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 6;
constexpr double kRoundSeconds = 1.5; // 9 s per run in all

struct Phase {
    double wall = 0;
    double cpu = 0;
    int ticks = 0;
    int paints = 0;
    double tickSeconds = 0;  // wall time inside the tick handler (move, ScrollWindow, re-arm)
    double paintSeconds = 0; // wall time inside the paint handler
    double CpuShare() const { return wall > 0 ? cpu / wall : 0; }
    double CpuPerTick() const { return ticks ? cpu / ticks : 0; }
};

// Runs an ordinary GetMessage loop for `seconds` (a window timer on `frame` ends it),
// adding to p and timing the banner's own messages.
void Pump(HWND frame, HWND banner, double seconds, Phase& p)
{
    const double start = Now();
    const auto cpu0 = CpuClock::Own().Read();
    constexpr UINT_PTR kEndTimer = 77;
    ::SetTimer(frame, kEndTimer, static_cast<UINT>(seconds * 1000), nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == frame && msg.message == WM_TIMER && msg.wParam == kEndTimer)
            break;
        const bool mine = msg.hwnd == banner;
        const double t0 = mine ? Now() : 0;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
        if (mine && msg.message == WM_TIMER) {
            ++p.ticks;
            p.tickSeconds += Now() - t0;
        } else if (mine && msg.message == WM_PAINT) {
            ++p.paints;
            p.paintSeconds += Now() - t0;
        }
    }
    ::KillTimer(frame, kEndTimer);
    p.cpu += CpuClock::SecondsBetween(cpu0, CpuClock::Own().Read());
    p.wall += Now() - start;
}

// The bare chain ticking in a process of its own (`--chain`) while this one scrolls:
// the two measured over the same span meet the same load of the machine, which here
// changes what a tick costs by as much as three times within a minute.
class ChainBeside {
public:
    explicit ChainBeside(int seconds)
    {
        wchar_t path[MAX_PATH];
        const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH)
            return;
        const std::string tag = std::to_string(::GetCurrentProcessId());
        std::wstring command = L"\"" + std::wstring(path) + L"\" --chain " + std::to_wstring(seconds) + L" " +
                               lex::Widen(tag);
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        if (!::CreateProcessW(path, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi))
            return;
        // Its chain ticks once it waits for messages; Wine goes on starting the process
        // for about a second more.
        ::WaitForInputIdle(m_pi.hProcess, 10000);
        ::Sleep(2000);
        const std::vector<std::string> arguments = {"--chain", std::to_string(seconds), tag};
        const unsigned long pid = e2e::FindLinuxProcessWhere(
            [&](const std::string& cmdline) { return RunsThisProgram(cmdline, arguments); });
        m_clock = CpuClock(pid, m_pi.hProcess);
    }
    ~ChainBeside()
    {
        if (!m_pi.hProcess)
            return;
        ::TerminateProcess(m_pi.hProcess, 0);
        ::WaitForSingleObject(m_pi.hProcess, 5000);
        ::CloseHandle(m_pi.hThread);
        ::CloseHandle(m_pi.hProcess);
    }
    ChainBeside(const ChainBeside&) = delete;
    ChainBeside& operator=(const ChainBeside&) = delete;

    bool Readable() const { return !m_clock.Read().empty(); }
    CpuClock::Reading Read() const { return m_clock.Read(); }

private:
    PROCESS_INFORMATION m_pi = {};
    CpuClock m_clock{0, nullptr}; // reads nothing until the process is found
};

void Report(const char* name, const Phase& p)
{
    std::printf("  %s: %.2f s, CPU %.3f s = %5.2f%% of a core; %.1f ticks/s; per tick %.3f ms CPU "
                "(wall in tick handler %.3f ms, in paint %.3f ms)\n",
                name, p.wall, p.cpu, 100.0 * p.CpuShare(), p.ticks / p.wall, 1000.0 * p.CpuPerTick(),
                p.ticks ? 1000.0 * p.tickSeconds / p.ticks : 0.0, p.paints ? 1000.0 * p.paintSeconds / p.paints : 0.0);
}

void FillLikeTheWordFeed(CBannerCtrl& banner)
{
    static const char* const words[][3] = {
        {"apple", "'{pl", "n. 苹果"},           {"flight", "flaIt", "n. 飞行；航班"},
        {"banner", "'b{n@", "n. 横幅；旗帜"},   {"vocabulary", "v@'k{bjUl@rI", "n. 词汇"},
        {"weather", "'weD@", "n. 天气"},        {"through", "Tru:", "prep. 穿过；通过"},
        {"measure", "'meZ@", "v. 测量 n. 措施"}, {"thought", "TO:t", "n. 思想；想法"},
    };
    const uint32_t rowStyles[3] = {0x00FFFFFF | BANNER_BOLD, 0x0000FFFF | BANNER_ITALIC,
                                   0x0080FF80 | BANNER_UNDERLINE};
    for (int entry = 0; entry < 31; ++entry) {
        const auto& w = words[entry % 8];
        // Vary the styles from entry to entry, as changed settings would.
        const uint32_t extra = (entry % 3 == 0) ? BANNER_ITALIC : (entry % 3 == 1) ? BANNER_BOLD : 0;
        banner.AddItem(CBannerItem(std::string("☉ "), BANNER_FONT_SONG, 0, 0x00FFFFFF, BANNER_BUTTON_FACE));
        banner.AddItem(CBannerItem(std::string(w[0]) + "  ", BANNER_FONT_SONG, 0, rowStyles[0] | extra,
                                   BANNER_BUTTON_FACE));
        banner.AddItem(CBannerItem(std::string(w[1]) + "  ", BANNER_FONT_PHONETIC, 0, rowStyles[1],
                                   BANNER_BUTTON_FACE));
        banner.AddItem(CBannerItem(std::string(w[2]) + "  ", BANNER_FONT_SONG, 0, rowStyles[2] | extra,
                                   entry % 4 == 0 ? 0x00303030 : BANNER_BUTTON_FACE));
    }
}

// The banner with a way to run its own drawing of the whole strip into a memory
// surface: the item loop, font selection and DrawText, without the system's paint
// machinery.
class BenchBanner : public CBannerCtrl {
public:
    // Microseconds per drawing: the best of many short batches, since a batch that
    // another program interrupted only ever reads slower.
    double DrawStripMicros(int batches, int repeats)
    {
        RECT rc;
        GetClientRect(&rc);
        lex::CClientDC window(m_hWnd);
        lex::CMemoryDC dc;
        dc.CreateCompatibleDC(window.GetSafeHdc());
        lex::CBitmap surface;
        surface.CreateCompatibleBitmap(window.GetSafeHdc(), rc.right, rc.bottom);
        lex::CSelectObject keep(dc.GetSafeHdc(), surface.GetSafeHandle());
        dc.IntersectClipRect(rc);
        double best = 1e30;
        for (int batch = 0; batch < batches; ++batch) {
            const double start = Now();
            for (int i = 0; i < repeats; ++i)
                DrawLine(dc, GetOffset(), rc, [](int) {});
            best = std::min(best, (Now() - start) / repeats);
        }
        return 1e6 * best;
    }
};

bool MakeBanner(CBannerCtrl& banner, lex::CWnd& frame, HFONT host, int y)
{
    const RECT rect = {12, y, 12 + 435, y + 22};
    if (!banner.Create("滚动条", WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTER, rect, frame.m_hWnd,
                       CBannerCtrl::kDefaultId))
        return false;
    banner.SetFont(host);
    banner.SetAutoSize(TRUE);
    banner.SetBackgroundColor(0x00800000);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // `banner_bench --chain S TAG`: only the bare chain for S seconds, the process that
    // the scrolling rounds run beside them (TAG tells it apart).
    if (argc == 4 && std::strcmp(argv[1], "--chain") == 0)
        return BareChainCpuShare(std::atoi(argv[2])) >= 0 ? 0 : 1;
    double profileSeconds = 0;
    bool profileBare = false, profilePixel = false, profileSaving = false;
    int profileSpeed = 800;
    if (argc == 3 && std::strncmp(argv[1], "--profile", 9) == 0) {
        const std::string mode = argv[1];
        profileBare = mode == "--profile-bare";
        profilePixel = mode == "--profile-pixel";
        profileSaving = mode == "--profile-saving";
        if (mode == "--profile-slow")
            profileSpeed = 400;
        if (profileBare || profilePixel || profileSaving || mode == "--profile-slow" || mode == "--profile")
            profileSeconds = std::atof(argv[2]);
    }
    const bool phoneticFont = ::AddFontResourceW(L"Fonts\\DFHGWPRN.TTF") > 0;

    lex::CWnd frame;
    if (!frame.CreateEx(WS_EX_TOPMOST, nullptr, "banner bench", WS_POPUP, 20, 20, 460, 70, nullptr, 0)) {
        std::printf("cannot create a window (no display?)\n");
        return 1;
    }
    // Shown without activation: Wine hands activated windows to a window manager.
    ::SetWindowPos(frame.m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);

    // The main bar's host font: height 12, face LiSu.
    LOGFONTW lf = {};
    lf.lfHeight = 12;
    lf.lfCharSet = GB2312_CHARSET;
    wcscpy(lf.lfFaceName, L"隶书");
    HFONT host = ::CreateFontIndirectW(&lf);

    BenchBanner banner;
    CBannerCtrl empty;
    if (!MakeBanner(banner, frame, host, 9) || !MakeBanner(empty, frame, host, 38)) {
        std::printf("cannot create the banners\n");
        return 1;
    }
    FillLikeTheWordFeed(banner);
    ::UpdateWindow(banner.m_hWnd);
    ::UpdateWindow(empty.m_hWnd);
    BareChain bare;
    BareChain pixel(true);
    if (!bare.CreateEx(0, nullptr, "bare chain", WS_CHILD, 0, 0, 1, 1, frame.m_hWnd, 0) ||
        !pixel.CreateEx(0, nullptr, "one pixel", WS_CHILD | WS_VISIBLE, 2, 2, 1, 1, frame.m_hWnd, 0)) {
        std::printf("cannot create the bare chain's window\n");
        return 1;
    }

    if (profileSeconds > 0) {
        Phase p;
        if (profileBare || profilePixel) {
            BareChain& chain = profilePixel ? pixel : bare;
            chain.Start();
            Pump(frame.m_hWnd, chain.m_hWnd, profileSeconds, p);
            chain.Stop();
        } else {
            banner.SetPowerSaving(profileSaving);
            banner.SetSpeed(profileSpeed);
            Pump(frame.m_hWnd, banner.m_hWnd, profileSeconds, p);
            banner.SetSpeed(0);
        }
        Report(profileBare    ? "profiled bare chain"
               : profilePixel ? "profiled one-pixel chain"
                              : "profiled scrolling",
               p);
        return 0;
    }

    std::printf("banner: %d items (31 entries x 4), speed 800 (12 ms period), 435x22, host font 12 LiSu%s\n",
                banner.GetItemCount(), phoneticFont ? ", DFPhonetic loaded" : ", DFPhonetic not found");
    std::printf("scrolling, %d rounds of %.2f s per run, this process's CPU (%s):\n", kRounds, kRoundSeconds,
                CpuClock::Own().Source());

    Phase cached, idle, chain, viaPaint, onePixel, saving;
    banner.SetSpeed(800);
    Phase warmUp;
    Pump(frame.m_hWnd, banner.m_hWnd, 0.5, warmUp); // the first paints fill the caches
    // The scrolling line's budget is a ratio to the bare chain, ticking beside it in a
    // process of its own and measured over the same span. The figure is the median of
    // the rounds' ratios, so that one round caught by a burst of other work does not
    // decide it.
    // It must outlast every round: seven phases of a round's length each.
    const ChainBeside beside(static_cast<int>(kRounds * kRoundSeconds * 8 + 10));
    if (!beside.Readable()) {
        std::printf("cannot start the bare chain beside the line\n");
        return 1;
    }
    // One phase's share of a core over its last pump, as a ratio to the chain beside.
    auto ratioToBeside = [&beside](HWND frameWnd, HWND ticking, Phase& p) {
        const Phase before = p;
        const auto besideBefore = beside.Read();
        Pump(frameWnd, ticking, kRoundSeconds, p);
        const double wall = p.wall - before.wall;
        const double besideShare = CpuClock::SecondsBetween(besideBefore, beside.Read()) / wall;
        return besideShare > 0 ? (p.cpu - before.cpu) / wall / besideShare : 0.0;
    };
    std::vector<double> roundRatios, pixelRatios, savingRatios;
    for (int round = 0; round < kRounds; ++round) {
        roundRatios.push_back(ratioToBeside(frame.m_hWnd, banner.m_hWnd, cached));
        CBannerCtrl::SetDirectScrollEnabled(false);
        Pump(frame.m_hWnd, banner.m_hWnd, kRoundSeconds, viaPaint);
        CBannerCtrl::SetDirectScrollEnabled(true);
        banner.SetSpeed(0);
        bare.Start();
        Pump(frame.m_hWnd, bare.m_hWnd, kRoundSeconds, chain);
        bare.Stop();
        pixel.Start();
        pixelRatios.push_back(ratioToBeside(frame.m_hWnd, pixel.m_hWnd, onePixel));
        pixel.Stop();
        banner.SetPowerSaving(true);
        banner.SetSpeed(800);
        savingRatios.push_back(ratioToBeside(frame.m_hWnd, banner.m_hWnd, saving));
        banner.SetSpeed(0);
        banner.SetPowerSaving(false);
        // An empty line set to scroll rests: it must cost nothing at all.
        empty.SetSpeed(800);
        Pump(frame.m_hWnd, empty.m_hWnd, kRoundSeconds, idle);
        empty.SetSpeed(0);
        banner.SetSpeed(800);
    }
    banner.SetSpeed(0);

    Report("scrolling  ", cached);
    Report("ScrollWindow and a paint per tick, caches on", viaPaint);
    Report("bare chain ", chain);
    Report("one pixel  ", onePixel);
    Report("saving power", saving);
    Report("empty line ", idle);
    std::printf("  scrolling: %.2f%% of a core (target: under 1%% on Windows)\n", 100.0 * cached.CpuShare());
    const double ratio = Median(roundRatios);
    std::printf("  scrolling against the bare timer chain ticking beside it in another process: median of the "
                "rounds' ratios %.2fx; rounds:",
                ratio);
    for (double r : roundRatios)
        std::printf(" %.2f", r);
    std::printf("\n");
    // What Wine charges for showing anything at all on every tick, and the line against it.
    // Each round's line and its saving-power phase against the same round's one-pixel
    // chain, both as ratios to the chain beside them.
    std::vector<double> lineToFloor, savingToFloor;
    for (size_t i = 0; i < roundRatios.size() && i < pixelRatios.size() && i < savingRatios.size(); ++i) {
        if (pixelRatios[i] <= 0)
            continue;
        lineToFloor.push_back(roundRatios[i] / pixelRatios[i]);
        savingToFloor.push_back(savingRatios[i] / pixelRatios[i]);
    }
    const double floor = Median(pixelRatios);
    const double lineFloor = lineToFloor.empty() ? 0.0 : Median(lineToFloor);
    const double savingFloor = savingToFloor.empty() ? 0.0 : Median(savingToFloor);
    std::printf("  the bare chain showing one changed pixel per tick: median %.2fx the chain beside; the line is "
                "%.2fx that (target: at most 1.15x), saving power %.2fx (target: at most 0.65x); rounds:",
                floor, lineFloor, savingFloor);
    for (size_t i = 0; i < lineToFloor.size(); ++i)
        std::printf(" %.2f/%.2f", lineToFloor[i], savingToFloor[i]);
    std::printf("\n");
    std::printf("  the same line moved by ScrollWindow and a WM_PAINT per tick: %.2fx the bare chain\n",
                chain.CpuShare() > 0 ? viaPaint.CpuShare() / chain.CpuShare() : 0.0);
    std::printf("  empty line set to scroll: %d ticks in %.1f s (target: 0 after the first)\n", idle.ticks, idle.wall);
    std::printf("  per tick above the bare timer chain: %.3f ms\n", 1000.0 * (cached.CpuPerTick() - chain.CpuPerTick()));
    lexbench::Figure("banner_scrolling_vs_timer_chain", ratio, "x");
    lexbench::Result("banner_scrolling_vs_one_pixel_chain", lineFloor, "x", lexbench::Bound::AtMost, 1.15);
    lexbench::Result("banner_saving_vs_one_pixel_chain", savingFloor, "x", lexbench::Bound::AtMost, 0.65);
    // Every round sets the empty line's speed once: one tick each, none after it.
    lexbench::Result("banner_empty_line_ticks_per_start", static_cast<double>(idle.ticks) / kRounds, "ticks",
                     lexbench::Bound::AtMost, 1);

    const double drawOn = banner.DrawStripMicros(100, 3);
    CCanvasWnd::SetCachingEnabled(false);
    const double drawOff = banner.DrawStripMicros(10, 1);
    CCanvasWnd::SetCachingEnabled(true);
    std::printf("the banner's own drawing of the whole strip (best batch): caches on %.1f us, off %.1f us (%.1fx)\n",
                drawOn, drawOff, drawOn > 0 ? drawOff / drawOn : 0.0);
    lexbench::Result("banner_caches_off_vs_on_per_paint", drawOn > 0 ? drawOff / drawOn : 0.0, "x",
                     lexbench::Bound::AtLeast, 5);
    std::printf("note: this counts this process only; under Wine the wineserver's and the X "
                "server's CPU for the same work is not included.\n");

    banner.DestroyWindow();
    empty.DestroyWindow();
    bare.DestroyWindow();
    frame.DestroyWindow();
    ::DeleteObject(host);
    if (phoneticFont)
        ::RemoveFontResourceW(L"Fonts\\DFHGWPRN.TTF");
    return cached.ticks > 0 ? 0 : 1;
}
