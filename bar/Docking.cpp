// The bar as a shell application bar: registration, placement at the top or
// bottom edge of the primary screen (or under the active browser window in
// sticking mode), and the shell's notifications.
#include "bar/BarWnd.h"
#include "app/Settings.h"

UINT_PTR CBarWnd::AppBarMessage(DWORD message, APPBARDATA& data) {
  data.cbSize = sizeof data;
  data.hWnd = hwnd;
  return SHAppBarMessage(message, &data);
}

void CBarWnd::RegisterAppBar() {
  APPBARDATA data = {};
  data.uCallbackMessage = WM_BAR_APPBAR;
  AppBarMessage(ABM_NEW, data);
}

void CBarWnd::RemoveAppBar() {
  APPBARDATA data = {};
  AppBarMessage(ABM_REMOVE, data);
}

RECT BrowserEndRect(HWND browser) {
  // The placement requests to the browser are posted: what it shows now may
  // still be its old or its minimised rectangle.
  if (Settings.alignBrowsers)
    return {Settings.alignLeft, Settings.alignTop, Settings.alignLeft + Settings.alignWidth,
            Settings.alignTop + Settings.alignHeight};
  RECT r = {0, 0, 0, 0};
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  if (IsIconic(browser) && GetWindowPlacement(browser, &placement)) return placement.rcNormalPosition;
  GetWindowRect(browser, &r);
  return r;
}

void CBarWnd::PositionBar() {
  const int height = BarHeight();
  if (Settings.stickingMode) {
    if (activeBrowser) {
      // Hang directly below the browser window, just behind it. Without
      // SWP_NOACTIVATE the bar would take the focus from the browser the
      // user just activated, and be raised above it instead of behind.
      RECT r = BrowserEndRect(activeBrowser);
      SetWindowPos(hwnd, activeBrowser, r.left, r.bottom, r.right - r.left, height, SWP_NOACTIVATE);
    } else if (!browsers.empty()) {
      // Its activation comes back as a shell event, which places us again.
      SetForegroundWindow(browsers.back().window);
    }
    return;
  }

  const bool bottom = Settings.showOnTop == EDGE_BOTTOM;
  APPBARDATA data = {};
  data.uEdge = bottom ? EDGE_BOTTOM : EDGE_TOP;  // a hand-edited 0 or 2 is no side edge
  data.rc.left = 0;
  data.rc.right = GetSystemMetrics(SM_CXSCREEN);
  if (bottom) {
    data.rc.bottom = GetSystemMetrics(SM_CYSCREEN);
    data.rc.top = data.rc.bottom - height;
  } else {
    data.rc.top = 0;
    data.rc.bottom = height;
  }
  // The shell moves the rectangle off the taskbar and other app bars; keep
  // our own height at the edge it gives.
  AppBarMessage(ABM_QUERYPOS, data);
  if (bottom)
    data.rc.top = data.rc.bottom - height;
  else
    data.rc.bottom = data.rc.top + height;
  // Placed on every browser activation, and whenever another app bar comes
  // or goes: the keyboard stays with the user's window.
  SetWindowPos(hwnd, HWND_TOPMOST, data.rc.left, data.rc.top, data.rc.right - data.rc.left, height,
               SWP_NOACTIVATE);
  AppBarMessage(ABM_SETPOS, data);
  GetWindowRect(hwnd, &dockedRect);
}

void CBarWnd::FollowActivation() {
  // A docked bar's place changes with the shell's notices, not with the
  // active window: asking the shell again on every activation is waste.
  RECT now;
  if (!Settings.stickingMode && GetWindowRect(hwnd, &now) && EqualRect(&now, &dockedRect)) return;
  PositionBar();
}

LRESULT CBarWnd::OnAppBarNotify(WPARAM code, LPARAM data) {
  const UINT keepOut = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE;
  switch (code) {
    case ABN_POSCHANGED:
      PositionBar();
      break;
    case ABN_FULLSCREENAPP:
      if (Settings.forceOverFullScreen) break;
      if (data) {
        // Step aside for the full-screen window; remember where we stood.
        windowBeforeFullScreen = GetWindow(hwnd, GW_HWNDPREV);
        SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, keepOut);
      } else {
        HWND after = IsWindow(windowBeforeFullScreen) ? windowBeforeFullScreen : HWND_TOPMOST;
        SetWindowPos(hwnd, after, 0, 0, 0, 0, keepOut);
      }
      break;
  }
  return 1;
}

LRESULT CBarWnd::OnWindowPosChanged(WPARAM, LPARAM) {
  LRESULT result = Default();
  APPBARDATA data = {};
  AppBarMessage(ABM_WINDOWPOSCHANGED, data);
  return result;
}

LRESULT CBarWnd::OnActivate(WPARAM, LPARAM) {
  LRESULT result = Default();
  APPBARDATA data = {};
  AppBarMessage(ABM_ACTIVATE, data);
  return result;
}
