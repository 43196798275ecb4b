// Size on disk of the three binaries, and the bar's memory after start and
// after many browser windows came and went.
#include "bench.h"
#include "bench_rig.h"
#include <psapi.h>

namespace bench {
namespace {

struct Memory { double privateKiB, workingSetKiB; bool fromPagefileUsage; };

// Private bytes as the system reports them (PrivateUsage). Wine 8 leaves
// that 0 for another process and gives, as PagefileUsage, the Linux
// process's resident anonymous memory plus swap: that stands in for it.
Memory MemoryOf(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(process, (PROCESS_MEMORY_COUNTERS*)&counters, sizeof counters);
  SIZE_T privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
  return {privateBytes / 1024.0, counters.WorkingSetSize / 1024.0, !counters.PrivateUsage};
}

void PrintMemory(const char* when, const Memory& m) {
  PrintLine(Format("   %-44s private %8.0f KiB   working set %8.0f KiB", when, m.privateKiB,
                   m.workingSetKiB));
}

}  // namespace

void BenchSizes() {
  PrintLine("5a. Size of the binaries");
  struct { const char* name; DWORD limit; } files[] = {
      {"marbel.exe", 256 * 1024}, {"barshell.dll", 16 * 1024}, {"bartask.dll", 16 * 1024}};
  for (const auto& f : files) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA((BinDir() + "\\" + f.name).c_str(), GetFileExInfoStandard, &data);
    DWORD size = data.nFileSizeLow;
    PrintLine(Format("   %-44s %8lu bytes  %s", f.name, size,
                     Verdict(size && size <= f.limit, Format("target <= %lu KiB", f.limit / 1024)).c_str()));
  }
}

void BenchMemory(int cycles) {
  PrintLine(Format("5b. Memory of the bar: after start, and after each %d open/close cycles of a browser window",
                   cycles));
  Bar bar = StartBar();
  Pause(1000);
  Memory start = MemoryOf(bar.process.handle);
  if (start.fromPagefileUsage)
    PrintLine("   (PrivateUsage reads 0 here: private is PagefileUsage, under Wine resident anonymous memory + swap)");
  PrintMemory("after start", start);
  for (int round = 1; round <= 2; ++round) {
    double begin = Now();
    for (int i = 0; i < cycles; ++i) {
      DestroyWindow(OpenWindow("IEFrame"));
      PumpMessages();
    }
    double seconds = (Now() - begin) / 1000;
    WaitListed(bar, 0);
    Pause(1000);
    Memory m = MemoryOf(bar.process.handle);
    PrintMemory(Format("after %d cycles (%.1f s)", round * cycles, seconds).c_str(), m);
    if (round == 2)
      PrintLine(Format("   growth: %+.0f KiB private over %d cycles", m.privateKiB - start.privateKiB,
                       round * cycles));
  }
  StopBar(bar);
}

}  // namespace bench
