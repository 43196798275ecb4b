// Commands of the bar: the bar menu with its window list, the menu
// commands, the "Close" buttons, and starting a new browser window.
#include "bar/BarWnd.h"
#include "app/Settings.h"
#include "bar/Launch.h"
#include "framework/App.h"
#include "framework/Dialog.h"
#include "prefs/PrefsDialog.h"
#include "res/resource.h"

HMENU CreateWindowListMenu(const std::vector<BrowserEntry>& browsers, HWND active) {
  HMENU windowList = CreatePopupMenu();
  for (size_t i = 0; i < browsers.size(); ++i) {
    UINT flags = MF_STRING | (browsers[i].window == active ? MF_CHECKED : MF_UNCHECKED);
    AppendMenuA(windowList, flags, ID_WINDOW_LIST_FIRST + i, browsers[i].title.c_str());
  }
  return windowList;
}

HWND NextBrowser(const std::vector<BrowserEntry>& browsers, HWND active) {
  if (browsers.empty()) return nullptr;
  for (size_t i = 0; i < browsers.size(); ++i)
    if (browsers[i].window == active) return browsers[(i + 1) % browsers.size()].window;
  return browsers.front().window;
}

void BringToFront(HWND window) {
  if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
  SetForegroundWindow(window);
}

// The highlight moves when the window reports its activation.
void CBarWnd::ActivateNextBrowser() {
  if (HWND next = NextBrowser(browsers, activeBrowser)) BringToFront(next);
}

void CBarWnd::ShowBarMenu(POINT screenPoint) {
  UpdateButtons();
  HMENU windowList = CreateWindowListMenu(browsers, activeBrowser);
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, ID_NEW_BROWSER, "New Internet Explorer window");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, ID_MINIMIZE_ALL, "Minimize all browser windows");
  AppendMenuA(menu, MF_STRING, ID_CLOSE_ALL, "Close all browser windows");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, ID_HIDE_RESTORE, "Hide/restore Marbel!");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, ID_PREFERENCES, "Preferences");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, ID_EXIT, "Exit");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, ID_ABOUT, "About Marbel!");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(windowList), "IE windows list");

  // A menu closes properly on a click elsewhere only while its owner is
  // the foreground window; the user's window gets the foreground back.
  HWND previous = GetForegroundWindow();
  SetForegroundWindow(hwnd);
  {
    NestedLoop loop(*this);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_BOTTOMALIGN, screenPoint.x, screenPoint.y, 0, hwnd,
                   nullptr);
  }
  DestroyMenu(menu);  // and the window list with it
  if (IsWindow(previous)) SetForegroundWindow(previous);
  PostMessageA(hwnd, WM_NULL, 0, 0);
}

bool CBarWnd::OnCommandRoute(WPARAM wParam, LPARAM) {
  UINT id = LOWORD(wParam);
  switch (id) {
    case ID_ABOUT: {
      fw::CDialog about(IDD_ABOUT);
      RunDialog(about, aboutBox);
      return true;
    }
    case ID_CLOSE_ALL:
      CloseAllBrowsers();
      return true;
    case ID_EXIT:
      PostMessageA(hwnd, WM_CLOSE, 0, 0);
      return true;
    case ID_HIDE_RESTORE:
      HideOrRestore();
      return true;
    case ID_NEW_BROWSER:
      NewBrowserWindow();
      return true;
    case ID_MINIMIZE_ALL:
      MinimizeAllBrowsers();
      return true;
    case ID_PREFERENCES:
      CPrefsDialog::Open(*this);
      return true;
  }
  if (id < ID_WINDOW_LIST_FIRST || id > ID_WINDOW_LIST_LAST) return false;
  // The list may have changed while the menu was open.
  size_t index = id - ID_WINDOW_LIST_FIRST;
  if (index < browsers.size() && IsWindow(browsers[index].window)) BringToFront(browsers[index].window);
  return true;
}

void CBarWnd::NewBrowserWindow() { LaunchBrowser(Settings.browserCommand); }

void CBarWnd::LaunchBrowser(std::string commandLine) {
  std::string expanded;
  if (!ExpandCommandLine(commandLine, expanded)) {
    ShowMessage(COMMAND_TOO_LONG_MESSAGE);
    return;
  }
  // Every source of the command (registry, file, typed text) may hold an
  // unquoted path with blanks; the private-profile reader even strips the
  // quotes of a value that is quoted as a whole.
  if (const char* message = LaunchErrorMessage(StartProgram(QuoteProgramPath(expanded), SW_SHOW)))
    ShowMessage(message);
}

void CBarWnd::OnCloseButton() {
  // SHIFT does the opposite of "Close browser windows on exit", this once.
  if (GetKeyState(VK_SHIFT) < 0) Settings.closeBrowsersOnExit = !Settings.closeBrowsersOnExit;
  PostMessageA(hwnd, WM_CLOSE, 0, 0);
}
