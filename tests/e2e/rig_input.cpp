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

BarRun::BarRun(const char* name, const std::string& prefs, const std::string& theme)
    : scenario(name), shell(scenario) {
  REQUIRE(shell.tray);
  scenario.WriteFile("marbel.ini", "[Preferences]\r\n" + prefs);
  scenario.WriteFile("colors.ini", TestTheme() + theme);
  marbel = scenario.StartMarbel();
  bar = WaitForBar(marbel);
}

bool BarRun::Exit() {
  if (!marbel.Running()) return true;
  PostMessageA(bar, WM_CLOSE, 0, 0);
  return marbel.WaitExit(5000);
}

RECT BrowserButton(HWND bar, int index, int count) {
  RECT client = ClientOnScreen(bar);
  int width = (client.right - client.left - 86) / (count > 0 ? count : 1) - 2;
  if (width > 160) width = 160;
  int left = client.left + 54 + index * (width + 2);
  return {left, client.top + 3, left + width, client.bottom - 3};
}

COLORREF ButtonFill(HWND bar, int index, int count) {
  RECT b = BrowserButton(bar, index, count);
  return ScreenPixel(b.left + 2, b.bottom - 3);
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
