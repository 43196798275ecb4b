// Start-up: from the call that creates the process to its window visible
// at its place, for the bar (docked) and for a minimal program that shows
// one window there, taking turns. Polled every millisecond from here.
#include "bench.h"
#include "bench_rig.h"

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

// Milliseconds to the window visible at its place; -1 when it never came.
double TimeToPlace(const Program& program) {
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

  std::vector<double> times[2], ratios;
  for (int run = 0; run < runs; ++run) {
    double t[2];
    for (int i = 0; i < 2; ++i) t[i] = TimeToPlace(programs[i]);
    if (t[0] < 0 || t[1] < 0) {
      PrintLine("   a window did not reach its place within 10 s; run left out");
      continue;
    }
    for (int i = 0; i < 2; ++i) times[i].push_back(t[i]);
    ratios.push_back(t[0] / t[1]);
  }
  for (int i = 0; i < 2; ++i) PrintFigure(Format("   %s", programs[i].label), times[i], "ms");
  PrintFigure("   bar / minimal program", ratios, "x", Verdict(Median(ratios) <= 1.5, "target <= 1.5"));
}

}  // namespace bench
