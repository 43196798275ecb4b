// The running bar: CPU time while nothing happens, the cost of a full
// repaint by the number of buttons, and how many shell notifications per
// second it handles with many windows listed.
#include "bench.h"
#include "bench_rig.h"
#include "hooks/shell/barshell.h"

namespace bench {
namespace {

// The pointer away from the bar and its buttons: no hover, no tooltip.
void PointerAway() { SetCursorPos(512, 300); }

// Microseconds per full repaint: invalidated with background erase and
// painted before RedrawWindow returns (RDW_UPDATENOW sends WM_PAINT to the
// bar's thread and waits), as one round trip from this process.
double RepaintMicroseconds(HWND bar, int repaints) {
  double start = Now();
  for (int i = 0; i < repaints; ++i)
    RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  return 1000 * (Now() - start) / repaints;
}

// The same round trip with nothing to do: a sent WM_NULL.
double RoundTripMicroseconds(HWND bar, int sends) {
  double start = Now();
  for (int i = 0; i < sends; ++i) SendMessageA(bar, WM_NULL, 0, 0);
  return 1000 * (Now() - start) / sends;
}

double EventsPerSecond(HWND bar, const std::vector<HWND>& windows, int code, int events) {
  double start = Now();
  for (int i = 0; i < events; ++i) SendShellEvent(bar, windows[i % windows.size()], code);
  double perSecond = events * 1000 / (Now() - start);
  Pause(100);  // the repaint the events asked for
  return perSecond;
}

}  // namespace

void BenchIdle(int windowCount, int seconds, int parts) {
  PrintLine(Format("3. Idle: CPU time over %d s (in %d parts), %d browser windows listed, nothing happening;"
                   " beside it the minimal program", seconds, parts, windowCount));
  Bar bar = StartBar();
  Process minimal = Start(TestsDir() + "\\bench_minimal.exe");
  std::vector<HWND> windows = OpenWindows(windowCount);
  WaitListed(bar, windowCount);
  PointerAway();
  Pause(2000);  // repaints and the tooltip control settle
  const Process* measured[] = {&bar.process, &minimal};
  // Each has spent some time starting: a reading of 0 then means idle.
  PrintLine(Format("   (CPU time so far: bar %.1f ms with start-up and %d windows, minimal program %.1f ms)",
                   CpuTimeMs(bar.process), windowCount, CpuTimeMs(minimal)));
  const char* labels[] = {"bar", "minimal program"};
  std::vector<double> used[2];
  for (int part = 0; part < parts; ++part) {
    double before[2];
    for (int i = 0; i < 2; ++i) before[i] = CpuTimeMs(*measured[i]);
    Pause(seconds * 1000 / parts);
    for (int i = 0; i < 2; ++i) used[i].push_back(CpuTimeMs(*measured[i]) - before[i]);
  }
  for (int i = 0; i < 2; ++i) {
    double total = 0;
    for (double ms : used[i]) total += ms;
    PrintFigure(Format("   %s, CPU time per %d s part", labels[i], seconds / parts), used[i], "ms");
    PrintLine(Format("   %-46s %10.3f ms     %s", Format("%s, CPU time over %d s:", labels[i], seconds).c_str(),
                     total, i == 0 ? Verdict(total < 10, "target < 10 ms").c_str() : ""));
  }
  CloseWindows(windows);
  Stop(minimal);
  StopBar(bar);
}

void BenchPaintAndEvents(int runs) {
  PrintLine("4. Paint and scale: full repaint (RedrawWindow from outside, erase + WM_PAINT)");
  const int REPAINTS = 100, EVENTS = 1000;
  Bar bar = StartBar();
  PointerAway();
  std::vector<HWND> windows;
  std::vector<double> roundTrip;
  const int COUNTS[] = {1, 50, 200};
  double medians[3];
  for (int i = 0; i < 3; ++i) {
    std::vector<HWND> more = OpenWindows(COUNTS[i] - (int)windows.size());
    windows.insert(windows.end(), more.begin(), more.end());
    WaitListed(bar, COUNTS[i]);
    SendShellEvent(bar.window, windows.back(), HSHELL_WINDOWACTIVATED);  // one highlighted button
    Pause(300);
    std::vector<double> paint;
    double cpuBefore = CpuTimeMs(bar.process);
    for (int run = 0; run < runs; ++run) {
      paint.push_back(RepaintMicroseconds(bar.window, REPAINTS));
      if (i == 0) roundTrip.push_back(RoundTripMicroseconds(bar.window, REPAINTS));
    }
    double cpuPerRepaint = 1000 * (CpuTimeMs(bar.process) - cpuBefore) / (runs * REPAINTS);
    medians[i] = Median(paint);
    PrintFigure(Format("   repaint, %d window%s", COUNTS[i], COUNTS[i] > 1 ? "s" : ""), paint, "us",
                Format("(bar CPU %.0f us per repaint)", cpuPerRepaint));
  }
  PrintFigure("   round trip of a sent WM_NULL (for reference)", roundTrip, "us");
  // Linear cost a + b * n: b from the ends, then 50 windows as predicted.
  double perButton = (medians[2] - medians[0]) / (COUNTS[2] - COUNTS[0]);
  double predicted50 = medians[0] + perButton * (COUNTS[1] - COUNTS[0]);
  PrintLine(Format("   cost per button %.2f us; 50 windows measured %.0f us, linear predicts %.0f us (%+.0f%%)",
                   perButton, medians[1], predicted50, 100 * (medians[1] / predicted50 - 1)));

  PrintLine(Format("   shell notifications with %d windows listed (WM_BAR_SHELLEVENT sent back to back)",
                   (int)windows.size()));
  std::vector<double> activations, redraws;
  for (int run = 0; run < runs; ++run) {
    activations.push_back(EventsPerSecond(bar.window, windows, HSHELL_WINDOWACTIVATED, EVENTS));
    redraws.push_back(EventsPerSecond(bar.window, windows, HSHELL_REDRAW, EVENTS));
  }
  std::vector<double> nulls;
  for (int run = 0; run < runs; ++run) nulls.push_back(1000000 / RoundTripMicroseconds(bar.window, EVENTS));
  PrintFigure("   sent WM_NULL (for reference)", nulls, "per s");
  PrintFigure("   activation notifications", activations, "per s");
  PrintFigure("   redraw notifications", redraws, "per s");
  CloseWindows(windows);
  StopBar(bar);
}

}  // namespace bench
