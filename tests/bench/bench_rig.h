// What the benchmarks share: paths, processes started and ended cleanly,
// the bar started on the stand-in taskbar, browser windows made here,
// timing, and the printing of one figure per line.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace bench {

std::string BinDir();    // marbel.exe and the two hook libraries
std::string TestsDir();  // this driver, the fixtures, bench_receiver and bench_minimal
std::string RunDir();    // the bar's working directory, with its marbel.ini

double Now();  // milliseconds, high resolution
// Handles this thread's messages; the browser windows made here live on it.
void PumpMessages();
// Wine keeps in each thread whether any hook is installed and renews that
// only when the thread takes a message from its queue, so a thread that
// only makes windows would miss a hook installed meanwhile: this takes one.
void RenewHookState();
// Polls cond (handling messages, renewing the hook state) until it holds or timeoutMs pass.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs = 10000);
// Handles messages for that long.
void Pause(DWORD ms);

struct Process {
  HANDLE handle = nullptr;
  DWORD pid = 0;
  std::string exeName;  // the file name, for finding it among Linux's processes
  bool Running() const;
};
// Started in RunDir(); nullptr handle when it could not start.
Process Start(const std::string& exePath, const std::string& args = "");
// WM_CLOSE to its main window (by default every unowned top-level window
// of the process), then the end awaited; killed when it does not end in time.
void Stop(Process& p, HWND mainWindow = nullptr);
// The top-level window of that process and class; nullptr when none.
HWND WindowOf(const Process& p, const char* className);

// The stand-in shell's taskbar, which the bar needs to start. Started once.
bool StartStandinShell();
void StopStandinShell();

// The bar, started in RunDir() with the benchmark preferences (no browser
// opened at start, browser windows left where they are). Closed the proper
// way, so its global hook goes with it.
struct Bar {
  Process process;
  HWND window = nullptr;
  int baseTools = 0;  // tooltip tools of a bar that lists nothing
};
Bar StartBar();
void StopBar(Bar& bar);
// How many browser windows the bar lists: its tooltip tools beyond those
// it has with none (one tool per listed window).
int Listed(const Bar& bar);
bool WaitListed(const Bar& bar, int count);
// WM_BAR_SHELLEVENT as the shell hook sends it.
void SendShellEvent(HWND bar, HWND window, int code);

// Top-level "IEFrame" windows (or another class) made on this thread,
// visible, clear of the bar.
HWND OpenWindow(const char* className, const char* title = "Bench page - Microsoft Internet Explorer");
std::vector<HWND> OpenWindows(int count, const char* className = "IEFrame");
void CloseWindows(std::vector<HWND>& windows);
extern const char OTHER_CLASS[];  // a class the bar does not list

bool UnderWine();
// CPU time (user + kernel) a process has used so far, in milliseconds;
// -1 when it cannot be read.
double CpuTimeMs(const Process& p);

double Median(std::vector<double> samples);
// "[target ...: met]" or "[target ...: MISSED]".
std::string Verdict(bool met, const std::string& target);
// One figure: the median of the samples, with min and max.
void PrintFigure(const std::string& name, std::vector<double> samples, const char* unit,
                 const std::string& note = "");
void PrintLine(const std::string& text);
std::string Format(const char* format, ...);

}  // namespace bench
