// make bench: the bar's speed and size figures under Wine. Each line is
// one figure, the median of several runs with their min and max; targets
// are shown beside, never asserted.
#include "bench.h"
#include "bench_rig.h"
#include <cstdlib>
#include <cstring>
#include <algorithm>

using namespace bench;

// Arguments: the figures to measure, e.g. "1 4" (all when none given);
// "scale=N" divides the windows and cycles by N for a quick look.
int main(int argc, char** argv) {
  bool chosen[6] = {};
  bool any = false;
  int scale = 1;
  for (int i = 1; i < argc; ++i) {
    if (!strncmp(argv[i], "scale=", 6)) scale = std::max(1, atoi(argv[i] + 6));
    else if (int figure = atoi(argv[i]); figure >= 1 && figure <= 5) chosen[figure] = any = true;
  }
  auto wanted = [&](int figure) { return !any || chosen[figure]; };
  typedef const char* (*WineVersion)();
  WineVersion wineVersion = (WineVersion)GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version");
  PrintLine(Format("Marbel benchmarks (%s%s, screen %dx%d)", wineVersion ? "Wine " : "Windows",
                   wineVersion ? wineVersion() : "", GetSystemMetrics(SM_CXSCREEN),
                   GetSystemMetrics(SM_CYSCREEN)));
  if (FindWindowA("MARBEL_MANAGER_CLASS", nullptr)) {
    PrintLine("a bar is running already: close it first");
    return 1;
  }
  if (!StartStandinShell()) {
    PrintLine("the stand-in taskbar did not come up");
    return 1;
  }
  if (wanted(1)) BenchHookOverhead(4, 500 / scale);
  if (wanted(2)) BenchStartup(7);
  if (wanted(3)) BenchIdle(20, 30 / scale, 3);
  if (wanted(4)) BenchPaintAndEvents(5);
  if (wanted(5)) {
    BenchSizes();
    BenchMemory(1000 / scale);
  }
  StopStandinShell();
  return 0;
}
