#include "rig_input.h"

#include <cstdio>
#include <doctest/doctest.h>

namespace rig {

namespace {

RECT ClientOnScreen(HWND bar) {
  RECT r = {};
  GetClientRect(bar, &r);
  MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

RECT BrowserButton(HWND bar, int index, int count) {
  ShownButtons shown = WaitForButtons(bar, count);
  REQUIRE_MESSAGE(shown, "the bar does not show " << count << " browser buttons");
  const RECT r = WindowRect(bar);
  const int left = r.left + shown[index].left, x = left + 2, row = r.top + 4;
  const COLORREF fill = ScreenPixel(x, row);
  int top = row, bottom = row;
  while (top > r.top && ScreenPixel(x, top - 1) == fill) --top;
  while (bottom + 1 < r.bottom && ScreenPixel(x, bottom + 1) == fill) ++bottom;
  // One-pixel frames around the fill.
  return {left, top - 1, left + shown[index].width, bottom + 2};
}

POINT EmptySpot(HWND bar) {
  RECT client = ClientOnScreen(bar);
  // Right of four buttons, left of the interface buttons, and far enough
  // from the screen's edge for a menu to open there unmoved.
  return {client.left + 54 + 4 * 162 + 50, client.top + (client.bottom - client.top) / 2};
}

void ReportActivation(HWND bar, HWND w) { SendShellEvent(bar, w, HSHELL_WINDOWACTIVATED); }

std::vector<HWND> VisibleMenus() {
  std::vector<HWND> menus;
  for (HWND w : TopLevelWindows("#32768"))
    if (IsWindowVisible(w)) menus.push_back(w);
  return menus;
}

int MenuBottomAbove(int y) {
  RECT work = {};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return y < work.bottom ? y : work.bottom;
}

bool Settles(const std::function<bool()>& cond) { return WaitUntil(cond, 3000); }

bool Stays(const std::function<bool()>& cond) {
  Pause(500);
  return cond();
}

void ChooseByKeyboard(int downs) {
  for (int i = 0; i < downs; ++i) PressKey(VK_DOWN);
  PressKey(VK_RETURN);
}

void SingleClick(int x, int y, bool right) {
  static DWORD lastClick = GetTickCount() - 10000;
  DWORD pause = GetDoubleClickTime() + 100;
  DWORD since = GetTickCount() - lastClick;
  if (since < pause) Pause(pause - since);
  Click(x, y, right);
  lastClick = GetTickCount();
}

void ShiftClick(int x, int y) {
  HeldKey shift(VK_SHIFT);
  WaitUntil([] { return GetAsyncKeyState(VK_SHIFT) < 0; }, 1000);
  SingleClick(x, y);
  Pause(200);
}

bool InputUntil(const std::function<void()>& input, const std::function<bool()>& done) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt) {
      POINT c;
      GetCursorPos(&c);
      MESSAGE("rig: the input had no effect in 4 s; given again (pointer at " << c.x << "," << c.y
                                                                              << ", over \"" << TextOf(WindowFromPoint(c)) << "\")");
    }
    input();
    if (WaitUntil(done, 4000)) return true;
  }
  return false;
}

bool ClickUntil(int x, int y, const std::function<bool()>& done) {
  return InputUntil([=] { SingleClick(x, y); }, done);
}

bool UnderWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

}  // namespace rig
