// Mouse input on the bar: clicks on the browser buttons, the per-button
// window menu, and clicks on the empty part of the bar.
// Browser windows are shown by requests posted to their threads
// (ShowWindowAsync): a hung browser must not stop the bar.
#include "bar/BarWnd.h"
#include "app/Settings.h"
#include "bar/HitTest.h"
#include "prefs/PrefsDialog.h"

namespace {

POINT ClientPoint(LPARAM lParam) {
  return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// SHIFT as the click itself carries it. The thread's key state
// (GetKeyState) would do on Windows, which brings it up to date with each
// input message; under Wine 8 the bar's thread does not see a SHIFT pressed
// while a browser window has the keyboard, as it has when the bar is clicked.
bool ShiftDown(WPARAM keys) { return (keys & MK_SHIFT) != 0; }

enum { ITEM_MINIMIZE_RESTORE = 1, ITEM_CLOSE = 2 };

}  // namespace

LRESULT CBarWnd::OnLButtonDown(WPARAM keys, LPARAM lParam) {
  POINT p = ClientPoint(lParam);
  int index = ButtonAt(browsers, p);
  if (index < 0) {
    lastActiveBrowser = activeBrowser;
    activeBrowser = nullptr;
    InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
  }
  HWND window = browsers[index].window;
  const RECT& button = browsers[index].buttonRect;
  bool glyph = CloseGlyphShown(window, activeBrowser, Settings.showCloseButton,
                               Settings.closeOnlyOnActive);
  if (glyph && InCloseZone(button, p)) {
    // The list changes when the windows report their destruction.
    if (ShiftDown(keys)) CloseAllBrowsers();
    else PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
  }
  if (Settings.allowMinimize && window == activeBrowser) {
    // A second click on the highlighted button.
    lastActiveBrowser = window;
    activeBrowser = nullptr;
    if (IsIconic(window)) {
      ShowWindowAsync(window, SW_RESTORE);
      SetForegroundWindow(window);
    } else if (ShiftDown(keys)) {
      MinimizeAllBrowsers();
    } else {
      ShowWindowAsync(window, SW_MINIMIZE);
    }
    InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
  }
  // The highlight moves when the window reports its activation.
  BringToFront(window);
  return 0;
}

LRESULT CBarWnd::OnMButtonDown(WPARAM, LPARAM lParam) {
  int index = ButtonAt(browsers, ClientPoint(lParam));
  if (index < 0) return 0;
  middlePressed = browsers[index].window;
  SetCapture(hwnd);  // the release comes here wherever it happens
  return 0;
}

LRESULT CBarWnd::OnMButtonUp(WPARAM keys, LPARAM lParam) {
  HWND pressed = middlePressed;
  middlePressed = nullptr;
  if (GetCapture() == hwnd) ReleaseCapture();
  // Compared by window, not by place: a window closed meanwhile lets the
  // next button slide under the pointer.
  int index = ButtonAt(browsers, ClientPoint(lParam));
  if (!pressed || index < 0 || browsers[index].window != pressed) return 0;
  // As the close glyph does: the list changes when the windows report
  // their destruction.
  if (ShiftDown(keys)) CloseAllBrowsers();
  else PostMessageA(pressed, WM_CLOSE, 0, 0);
  return 0;
}

LRESULT CBarWnd::OnCaptureChanged(WPARAM, LPARAM) {
  // A menu or another window took the mouse: that press ends here.
  middlePressed = nullptr;
  return Default();
}

LRESULT CBarWnd::OnRButtonDown(WPARAM, LPARAM lParam) {
  POINT p = ClientPoint(lParam);
  POINT screen = p;
  ClientToScreen(hwnd, &screen);
  int index = ButtonAt(browsers, p);
  if (index < 0) {
    ShowBarMenu(screen);
    return 0;
  }
  HWND window = browsers[index].window;
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, ITEM_MINIMIZE_RESTORE, IsIconic(window) ? "Restore" : "Minimize");
  AppendMenuA(menu, MF_STRING, ITEM_CLOSE, "Close");
  int chosen = 0;
  {
    NestedLoop loop(*this);
    chosen = TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY,
                            screen.x, screen.y, 0, hwnd, nullptr);
  }
  // The window may have changed state while the menu was open: ask again.
  // Bringing a minimised window to the front does not restore it by itself.
  if (chosen == ITEM_MINIMIZE_RESTORE) {
    if (IsIconic(window)) {
      ShowWindowAsync(window, SW_RESTORE);
      SetForegroundWindow(window);
    } else {
      ShowWindowAsync(window, SW_MINIMIZE);
    }
  } else if (chosen == ITEM_CLOSE) {
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
  DestroyMenu(menu);
  return 0;
}

LRESULT CBarWnd::OnLButtonDblClk(WPARAM, LPARAM lParam) {
  // On a button the first press has already acted.
  if (ButtonAt(browsers, ClientPoint(lParam)) >= 0) return 0;
  CPrefsDialog::Open(*this);
  return 0;
}

void CBarWnd::CloseAllBrowsers() {
  for (auto it = browsers.rbegin(); it != browsers.rend(); ++it)
    PostMessageA(it->window, WM_CLOSE, 0, 0);
}

void CBarWnd::MinimizeAllBrowsers() {
  if (!Settings.hideBrowsersOnHide) return;
  for (auto it = browsers.rbegin(); it != browsers.rend(); ++it)
    ShowWindowAsync(it->window, SW_MINIMIZE);
}
