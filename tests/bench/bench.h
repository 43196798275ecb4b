// The benchmarks, one function per group of figures; each prints its lines.
#pragma once

namespace bench {

void BenchSizes();
void BenchHookOverhead(int rounds, int windows);
void BenchStartup(int runs);
void BenchIdle(int windows, int seconds, int runs);
void BenchPaintAndEvents(int runs);
void BenchMemory(int cycles);

}  // namespace bench
