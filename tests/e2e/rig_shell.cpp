#include "rig_shell.h"

namespace rig {

// The taskbar half-way down the right edge: at the foot, a docked bar lies
// over it, and under Wine's virtual desktop two overlapping topmost windows
// may be stacked either way on the X side, so that clicks at the bar's
// place went to the taskbar.
StandinShell::StandinShell(Scenario& scenario, const std::string& args)
    : process(scenario.StartFixture("standin_shell.exe", args + " middle")) {
  WaitUntil([&] {
    for (HWND w : TopLevelWindows("Shell_TrayWnd"))
      if (ProcessOf(w) == process.pid && TextOf(w) == STANDIN_SHELL_READY_TITLE) tray = w;
    return tray != nullptr || !process.Running();
  }, 10000);
}

LRESULT StandinShell::Command(const char* name, WPARAM wp, LPARAM lp) const {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(tray, RegisterWindowMessageA(name), wp, lp, SMTO_NORMAL, 10000, &result);
  return result;
}

std::string StandinShell::Buttons() const {
  std::string now = Read(), before;
  for (int i = 0; i < 20 && now != before; ++i) {
    Pause(200);
    before = now;
    now = Read();
  }
  return now;
}

std::string StandinShell::Read() const {
  std::string titles;
  for (int i = 0, n = (int)Command(STANDIN_SHELL_COUNT); i < n; ++i) {
    HWND w = (HWND)Command(STANDIN_SHELL_WINDOW, i);
    titles += (titles.empty() ? "" : " ") + (w ? TextOf(w) : "?");
  }
  return titles;
}

}  // namespace rig
