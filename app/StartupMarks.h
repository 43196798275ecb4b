// When each start-up phase began, for the benchmark to name where start-up
// time goes: a microsecond clock that every process reads alike, noted
// once per phase; the bar window answers WM_BAR_STARTUPMARK (wParam a
// phase) with the mark, 0 for a phase not reached.
#pragma once
#include <windows.h>

const UINT WM_BAR_STARTUPMARK = WM_USER + 4;

enum StartupPhase {
  STARTUP_LOADED,    // our first code runs: the loader has bound the imports
  STARTUP_WINMAIN,
  STARTUP_WINDOW,    // settings read, the bar window being made
  STARTUP_HOOKS,
  STARTUP_HOOKED,
  STARTUP_SHOWN,
  STARTUP_PAINTED,   // the first paint done
  STARTUP_PHASES
};

// The performance counter in microseconds, wrapping every 71 minutes.
inline DWORD MicrosecondClock() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return (DWORD)(count.QuadPart / frequency.QuadPart * 1000000 +
                 count.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart);
}

inline DWORD startupMarks[STARTUP_PHASES];

inline void MarkStartup(StartupPhase phase) {
  if (!startupMarks[phase]) startupMarks[phase] = MicrosecondClock();
}
