// Start-up: from the call that creates the process to its window visible
// at its place, for the bar (docked) and for a minimal program that shows
// one window there, taking turns. Polled every millisecond from here.
#include "bench.h"
#include "bench_rig.h"
#include "app/StartupMarks.h"

namespace bench {
namespace {

struct Program {
  const char* label;
  std::string path;
  const char* className;
  RECT place;  // where its window comes to rest
};

bool AtPlace(HWND w, const RECT& place) {
  RECT r;
  return w && IsWindowVisible(w) && GetWindowRect(w, &r) && EqualRect(&r, &place);
}

const char* const PHASE_NAMES[STARTUP_PHASES] = {
    "process creation to our first code (loader, imports)", "runtime start to WinMain",
    "common controls, settings", "window creation up to the hooks", "hooks",
    "rest of creation, shown", "first paint"};

// Milliseconds to the window visible at its place; -1 when it never came.
// phases: for the bar, the milliseconds each phase took (0: not reached).
double TimeToPlace(const Program& program, double* phases = nullptr) {
  DWORD startClock = MicrosecondClock();
  double start = Now();
  Process p = Start(program.path);
  double elapsed = -1;
  for (DWORD begin = GetTickCount(); GetTickCount() - begin < 10000 && p.Running(); Sleep(1)) {
    if (AtPlace(WindowOf(p, program.className), program.place)) {
      elapsed = Now() - start;
      break;
    }
  }
  WaitForInputIdle(p.handle, 5000);
  HWND w = WindowOf(p, program.className);
  for (int i = 0; phases && i < STARTUP_PHASES; ++i) {
    DWORD_PTR mark = 0, before = 0;
    SendMessageTimeoutA(w, WM_BAR_STARTUPMARK, i, 0, SMTO_NORMAL, 5000, &mark);
    if (i) SendMessageTimeoutA(w, WM_BAR_STARTUPMARK, i - 1, 0, SMTO_NORMAL, 5000, &before);
    phases[i] = mark && (!i || before) ? (DWORD)(mark - (i ? before : startClock)) / 1000.0 : 0;
  }
  // The bar too closes on WM_CLOSE, and takes its hooks with it.
  Stop(p, WindowOf(p, program.className));
  return elapsed;
}

// A first, unmeasured start: where the window rests, and warm caches.
RECT RestingPlace(const std::string& path, const char* className) {
  Process p = Start(path);
  HWND w = nullptr;
  WaitUntil([&] { return (w = WindowOf(p, className)) && IsWindowVisible(w); });
  WaitForInputIdle(p.handle, 5000);
  Pause(500);
  RECT r = {};
  if (w) GetWindowRect(w, &r);
  Stop(p, w);
  return r;
}

}  // namespace

void BenchStartup(int runs) {
  PrintLine("2. Start-up: process creation to the window visible at its place");
  Bar first = StartBar();  // writes the bar's preferences
  StopBar(first);
  Program programs[] = {
      {"bar (docked)", BinDir() + "\\marbel.exe", "MARBEL_MANAGER_CLASS", {}},
      {"minimal program", TestsDir() + "\\bench_minimal.exe", "BenchMinimal", {}},
  };
  for (Program& p : programs) p.place = RestingPlace(p.path, p.className);
  const RECT& docked = programs[0].place;
  PrintLine(Format("   the bar docks at (%ld, %ld)-(%ld, %ld)", docked.left, docked.top, docked.right,
                   docked.bottom));

  std::vector<double> times[2], ratios, phases[STARTUP_PHASES];
  for (int run = 0; run < runs; ++run) {
    double t[2], phase[STARTUP_PHASES];
    for (int i = 0; i < 2; ++i) t[i] = TimeToPlace(programs[i], i == 0 ? phase : nullptr);
    if (t[0] < 0 || t[1] < 0) {
      PrintLine("   a window did not reach its place within 10 s; run left out");
      continue;
    }
    for (int i = 0; i < 2; ++i) times[i].push_back(t[i]);
    for (int i = 0; i < STARTUP_PHASES; ++i) phases[i].push_back(phase[i]);
    ratios.push_back(t[0] / t[1]);
  }
  for (int i = 0; i < 2; ++i) PrintFigure(Format("   %s", programs[i].label), times[i], "ms");
  PrintFigure("   bar / minimal program", ratios, "x", Verdict(Median(ratios) <= 1.5, "target <= 1.5"));
  PrintLine("   the bar's start-up by phase (0: a phase it did not report)");
  for (int i = 0; i < STARTUP_PHASES; ++i) PrintFigure(Format("   %s", PHASE_NAMES[i]), phases[i], "ms");
}

}  // namespace bench
