// Rig helpers for the bar under load and abuse: many processes opening and
// closing browser windows, the bar's resource counts read from outside, and
// a check that the bar's message loop still runs.
#pragma once
#include "rig_list.h"

namespace rig {

// Every top-level "IEFrame" window that exists now.
inline std::vector<HWND> LiveBrowserWindows() { return TopLevelWindows("IEFrame"); }

// standin_browser.exe in churn mode, processes times over, started at once:
// each opens and closes count "IEFrame" windows as fast as it can.
std::vector<Process> StartChurn(Scenario& scenario, int processes, int count);
// True when every one ended within timeoutMs with exit code 0.
bool ChurnsSucceed(const std::vector<Process>& churns, DWORD timeoutMs);

// A browser window of the driver's own that the bar lists and whose title
// the driver changes at will. A thread stuck in SendMessage still answers
// messages sent to it, so SendMessageTimeout alone cannot tell a bar that
// waits on a hung window from a working one: the probe posts a redraw
// notification for its window, which only the message loop handles, and
// waits for the new title in the bar's tooltip.
class LoopProbe {
public:
  LoopProbe(HWND bar, HWND tip);
  ~LoopProbe();
  LoopProbe(const LoopProbe&) = delete;
  LoopProbe& operator=(const LoopProbe&) = delete;
  bool Listed() const;
  // The bar handled a message posted now within timeoutMs.
  bool BarLoops(DWORD timeoutMs = 1000);
  HWND window = nullptr;

private:
  HWND bar, tip;
  int round = 0;
};

// The bar menu opened by a right press posted to the bar's empty part (the
// bar's own handler, without the input Wine's virtual desktop may drop):
// the menu's window, nullptr when none opened.
HWND PostBarMenu(HWND bar);

// What a process holds, as the system reports it for another process.
// Under Wine GetGuiResources answers 0 for GDI and USER objects and
// GetProcessHandleCount 0 handles: there the handles are counted in the
// system's handle table instead, and windows (USER objects that can be
// enumerated) and private memory stand in for the object counts.
struct ProcessCounts {
  DWORD gdiObjects = 0, userObjects = 0, handles = 0, windows = 0;
  SIZE_T privateBytes = 0;
};
ProcessCounts CountsOf(DWORD pid);

}  // namespace rig
