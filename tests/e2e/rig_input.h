// The bar seen as a user sees it: a scenario with the stand-in taskbar and
// marbel running, the browser buttons' places and colours on the screen,
// popup menus, and the shell's activation report that Wine does not send.
#pragma once
#include <functional>
#include "rig.h"
#include "rig_list.h"
#include "rig_shell.h"

namespace rig {

// Browser button index of count, in screen coordinates, as the screen
// shows it (WaitForButtons), its top and bottom where the fill meets the
// frames. Fails the case when the bar does not show count buttons.
RECT BrowserButton(HWND bar, int index, int count);
// A point of the bar that no browser or interface button covers.
POINT EmptySpot(HWND bar);

// Tells the bar that w was activated, as the shell hook does on Windows
// (SendShellEvent, HSHELL_WINDOWACTIVATED).
void ReportActivation(HWND bar, HWND w);

std::vector<HWND> VisibleMenus();  // "#32768" windows, in Z order
// The lowest a menu may reach when it opens above y: the system keeps
// menus inside the work area, which may end above the bar (Wine's own
// taskbar is there).
int MenuBottomAbove(int y);
// Down pressed "downs" times, then Enter.
void ChooseByKeyboard(int downs);
// cond comes true within 3 s.
bool Settles(const std::function<bool()>& cond);
// Lets the bar handle what was sent, then checks that cond still holds.
bool Stays(const std::function<bool()>& cond);
// A click that the system cannot pair with the previous one into a double
// click: it waits out the double-click time since the last such click.
void SingleClick(int x, int y, bool right = false);
// The same with SHIFT held through it.
void ShiftClick(int x, int y);
// A key held down until the end of the scope, however the scope ends: a key
// left down would change every later case of the file.
struct HeldKey {
  explicit HeldKey(WORD vk) : vk(vk) { KeyDown(vk); }
  ~HeldKey() { KeyUp(vk); }
  HeldKey(const HeldKey&) = delete;
  HeldKey& operator=(const HeldKey&) = delete;
  WORD vk;
};
// Wine's virtual desktop now and then drops synthesized mouse input: the
// one place that gives input again. input() until done() holds, a few
// tries at most; only for input whose effect done() sees, so that input
// that landed is never repeated.
bool InputUntil(const std::function<void()>& input, const std::function<bool()>& done);
// SingleClick at (x, y) until done() holds.
bool ClickUntil(int x, int y, const std::function<bool()>& done);
// True when the driver runs under Wine.
bool UnderWine();

}  // namespace rig
