// Rig helpers for the bar's browser buttons: the stand-in taskbar the bar
// needs to start, its tooltip control read from outside, screen rows, and
// shell events sent as the hook sends them.
#pragma once
#include "rig.h"
#include "rig_shell.h"
#include <commctrl.h>
#include <memory>

namespace rig {

// The bar's tooltip control: a "tooltips_class32" window owned by the bar.
HWND BarToolTip(HWND bar, DWORD timeoutMs = 5000);

struct Tool {
  HWND owner;
  UINT_PTR id;
  UINT flags;
  RECT rect;
};
// TTM_GETTOOLCOUNT of a tooltip control (the bar's: one tool per listed
// window); -1 when the control did not answer in time.
int ToolCount(HWND tip);
// Every tool of a tooltip control in another process, in its own order.
// The records travel through memory allocated in that process.
std::vector<Tool> ToolsOf(HWND tip);
// The text the control shows for a tool (TTM_GETTEXT; for callback text
// it asks the owner, as it does before showing the tip).
std::string ToolText(HWND tip, HWND owner, UINT_PTR id);

// Screen pixels of one row, x0 <= x < x1, in one capture.
std::vector<COLORREF> ScreenRow(int y, int x0, int x1);

// WM_BAR_SHELLEVENT to the bar, as the shell hook sends it; false when the
// bar did not answer in time.
bool SendShellEvent(HWND bar, HWND window, int code);

// "Preferences" lines ("Key=value\r\n" each) that keep a run quiet, after
// the given ones, so they win: no browser opened at start, browser windows
// left where they are, no close glyph. The bar stays at the bottom edge,
// clear of the stand-in browser windows: under Wine's virtual desktop a
// window mapped later shows above a topmost one that its Z order puts below
// (Wine restacks the X window only for the top window), so overlaps would
// hide the buttons.
std::string Quiet(const std::string& lines = "");

// The one way to start the bar: on the stand-in taskbar, marbel.ini the
// "Preferences" lines prefs, colors.ini the test colours then the theme
// lines, the pointer off the bar. bar and tip are nullptr when it did not
// come up. In a scenario of its own, or in the caller's (browser windows
// opened before the bar starts are there for its first scan).
// Ending the run closes the bar as the user would (WM_CLOSE), so it
// removes its hooks: a bar that is only killed leaves its global shell
// hook behind under Wine, and every later bar then gets each event twice.
class BarRun {
  std::unique_ptr<Scenario> owned;

public:
  BarRun(const char* name, const std::string& prefs, const std::string& theme = "");
  BarRun(Scenario& scenario, const std::string& prefs, const std::string& theme = "");
  ~BarRun() { Exit(); }
  bool Exit();  // WM_CLOSE to the bar; true when marbel ended
  Scenario& scenario;
  StandinShell shell;
  Process marbel;
  HWND bar = nullptr;
  HWND tip = nullptr;

private:
  void Start(const std::string& prefs, const std::string& theme);
};

// The browser buttons as the screen shows them, left to right: found on
// the row just inside their top frame by their fill colour.
struct PaintedButton {
  int left;   // bar client coordinates
  int width;
  bool active;
};
std::vector<PaintedButton> PaintedButtons(HWND bar);
// The buttons a wait found; true when they came in time.
struct ShownButtons : std::vector<PaintedButton> {
  bool shown = false;
  explicit operator bool() const { return shown; }
};
const int ANY_ACTIVE = -2;
// Waits until the bar shows count buttons, the one of index "active"
// highlighted (-1: none; ANY_ACTIVE: not looked at); the buttons then.
ShownButtons WaitForButtons(HWND bar, size_t count, int active = ANY_ACTIVE,
                            DWORD timeoutMs = 5000);
// The tool whose id is the window; a zero record when there is none.
Tool ToolFor(HWND tip, HWND window);

}  // namespace rig
