// The about box's budget: its sky animates at 20 frames a second and must add under 3%
// of a core to Lexorin's CPU use.
//  - One frame's render: the clouds control of a real about box, timed over 300 frames
//    (mixing the three layers, the copy into the frame bitmap, the credits merge), and
//    the same with the paint that copies it to the screen.
//  - The real Lexorin.exe's CPU share with the bar alone and then with the about box
//    open, in one run, each over 10 s.
// Run from the program folder (build/win/dist); scripts/bench.sh passes the process ids
// of the wineserver and the X server, whose CPU is read over the same spans.
#include "../bench_result.h"
#include "bench_clock.h"
#include "dialogs/about_dlg.h"
#include "process_cpu.h"
#include "resources/resource.h"
#include "support/lexorin_process.h"
#include "support/win_test_util.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kFrames = 300;
constexpr int kSettleSeconds = 5;
constexpr int kMeasureSeconds = 10;
const char kAboutTitle[] = "关于 Quillmere";

bool FrameBench()
{
    CAboutDlg about(AboutBoxInfo{"Quillmere", "4.1", "C:\\", "Lexorin"});
    if (!about.Create(IDD_ABOUTBOX)) {
        std::printf("cannot create the about box\n");
        return false;
    }
    wintest::PumpMessages(300);
    CCloudsCtrl& sky = about.Clouds();
    const int w = sky.Sky().Width(), h = sky.Sky().Height();
    ::KillTimer(sky.m_hWnd, CCloudsCtrl::kFrameTimer); // frames are driven by hand below

    std::vector<double> mix, render, withPaint;
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    for (int i = 0; i < kFrames; ++i) {
        double t0 = Now();
        sky.Sky().Mix(pixels.data());
        mix.push_back(1000.0 * (Now() - t0));
        t0 = Now();
        sky.RenderFrame();
        ::GdiFlush();
        const double t1 = Now();
        ::UpdateWindow(sky.m_hWnd);
        ::GdiFlush();
        render.push_back(1000.0 * (t1 - t0));
        withPaint.push_back(1000.0 * (Now() - t0));
    }
    std::printf("one frame of the about box's sky (%d x %d px), %d frames:\n", w, h, kFrames);
    std::printf("  render (mix + copy into the frame bitmap + credits merge): mean %.3f ms, median %.3f ms\n",
                Mean(render), Median(render));
    std::printf("  render and paint to the screen: mean %.3f ms, median %.3f ms; the mix alone: median %.3f ms\n",
                Mean(withPaint), Median(withPaint), Median(mix));
    std::printf("  at 20 frames a second that is %.2f%% of a core in the program itself\n",
                100.0 * Median(withPaint) * 20 / 1000.0);
    about.DestroyWindow();
    return w > 0 && h > 0;
}

bool CpuBench()
{
    e2e::LexorinProcess lexorin("about-bench-cpu");
    const HWND bar = lexorin.Start() ? lexorin.WaitForMainWindow(30000) : nullptr;
    if (!bar) {
        std::printf("Lexorin.exe did not show its bar (is another copy running in this Wine prefix?)\n");
        return false;
    }
    const LexorinCpuMeter meter(lexorin.ProcessId(), lexorin.Folder());

    ::Sleep(1000 * kSettleSeconds);
    const CpuShares alone = meter.Measure(kMeasureSeconds);
    ::PostMessageW(bar, WM_COMMAND, 32784, 0);
    HWND box = nullptr;
    for (int i = 0; i < 100 && !box; ++i, ::Sleep(100))
        box = e2e::FindProcessWindow(lexorin.ProcessId(), kAboutTitle);
    if (!box) {
        std::printf("the about box did not open\n");
        lexorin.Kill();
        return false;
    }
    ::Sleep(2000);
    const CpuShares open = meter.Measure(kMeasureSeconds);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    ::Sleep(500);

    const double added = open.own - alone.own;
    std::printf("Lexorin CPU: bar alone %.2f%%, with the about box open %.2f%% of a core, each over %d s\n",
                100.0 * alone.own, 100.0 * open.own, kMeasureSeconds);
    lexbench::Result("about_box_adds_cpu", 100.0 * added, "%core", lexbench::Bound::Below, 3);
    std::printf("  shipped settings; CPU (user + system) from %s\n",
                meter.Clock().Source());
    if (alone.server >= 0 && open.server >= 0)
        std::printf("  outside the program: wineserver %.2f%% -> %.2f%%", 100.0 * alone.server, 100.0 * open.server);
    else
        std::printf("  outside the program: wineserver not sampled");
    if (alone.x >= 0 && open.x >= 0)
        std::printf(", X server %.2f%% -> %.2f%% of a core\n", 100.0 * alone.x, 100.0 * open.x);
    else
        std::printf(", X server not sampled\n");

    ::PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    const DWORD code = lexorin.WaitForExit(10000);
    if (code == STILL_ACTIVE)
        std::printf("  Lexorin.exe did not end on Esc\n");
    return code != STILL_ACTIVE;
}

} // namespace

int main()
{
    const bool framed = FrameBench();
    const bool measured = CpuBench();
    std::fflush(stdout);
    // Ends at once: under Wine an ordinary exit with timer threads winding down can hang.
    ::TerminateProcess(::GetCurrentProcess(), framed && measured ? 0 : 1);
    return 1;
}
